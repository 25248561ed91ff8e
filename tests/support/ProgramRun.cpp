// ProgramRun.cpp - runs a program through the shell, its output into files of a scratch directory.
#include "support/ProgramRun.h"

#include "support/GLWindow.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace bm::test {

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

RunResult runProgram(const std::string& program, const std::string& directory,
                     const std::string& arguments, const std::string& prefix) {
    const std::string scratch = makeTempDir();
    const std::string command = "cd " + quoted(directory) + " && " + prefix + " " +
                                quoted(program) + " " + arguments + " > " +
                                quoted(scratch + "/out") + " 2> " + quoted(scratch + "/err");
    const int status = std::system(command.c_str());
    RunResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readText(scratch + "/out");
    result.err = readText(scratch + "/err");
    return result;
}

}  // namespace bm::test
