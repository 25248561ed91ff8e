// ProgramRun.h - runs one of the project's programs for real and collects what it printed.
#pragma once

#include <string>
#include <vector>

namespace bm::test {

struct RunResult {
    int exitCode = -1;  // -1 when the program did not exit by itself
    std::string out, err;
};

std::string readText(const std::string& path);

// In single quotes, for the shell.
std::string quoted(const std::string& text);

std::vector<std::string> lines(const std::string& text);

// Runs program in directory with arguments, words as the shell splits them; prefix comes before
// the program (variables, a tracer).
RunResult runProgram(const std::string& program, const std::string& directory,
                     const std::string& arguments, const std::string& prefix = "");

}  // namespace bm::test
