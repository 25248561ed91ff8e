// BrackmoorProgramOptions.h - the command-line options the demonstration and the viewer share.
#pragma once

#include <string>
#include <utility>

namespace bm {

// --frames N and --screenshot FILE.png, and how a program refuses a bad option: one line
// "<program>: <why>" on standard error and exit status 2, before any window opens.
class ProgramOptions {
public:
    explicit ProgramOptions(std::string programName) : program(std::move(programName)) {}

    // Takes --frames or --screenshot at argv[i] with its value, leaving i on the value; false
    // when argv[i] is another argument.
    bool take(int argc, char** argv, int& i);
    [[noreturn]] void refuse(const std::string& why) const;

    const std::string program;   // names the program in its messages
    long frames = 0;             // 0: run until the window is closed
    std::string screenshotPath;  // empty: no screenshot

private:
    long framesFrom(const char* text) const;
    std::string screenshotFrom(const char* path) const;
};

// One or more decimal digits and nothing else: no blanks, no sign.
bool allDigits(const char* text);

}  // namespace bm
