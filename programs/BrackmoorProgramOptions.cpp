// BrackmoorProgramOptions.cpp - --frames and --screenshot, checked before any window opens.
#include "BrackmoorProgramOptions.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace bm {

namespace {
std::string folderOf(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}
}  // namespace

bool allDigits(const char* text) {
    if (*text == '\0')
        return false;
    for (; *text != '\0'; ++text)
        if (!std::isdigit(static_cast<unsigned char>(*text)))
            return false;
    return true;
}

bool ProgramOptions::take(int argc, char** argv, int& i) {
    const std::string argument = argv[i];
    if (argument == "--frames")
        frames = framesFrom(i + 1 < argc ? argv[++i] : nullptr);
    else if (argument == "--screenshot")
        screenshotPath = screenshotFrom(i + 1 < argc ? argv[++i] : nullptr);
    else
        return false;
    return true;
}

void ProgramOptions::refuse(const std::string& why) const {
    std::cerr << program << ": " << why << std::endl;
    std::exit(2);
}

long ProgramOptions::framesFrom(const char* text) const {
    errno = 0;
    // Digits only: strtol alone would also take leading blanks and a sign.
    const long count = text && allDigits(text) ? std::strtol(text, nullptr, 10) : 0;
    if (errno == ERANGE || count <= 0)
        refuse(std::string("--frames wants a whole number above 0, not '") + (text ? text : "") +
               "'");
    return count;
}

// Checks that the picture can be written, without touching a file that is already there: the
// file is only opened once the picture exists.
std::string ProgramOptions::screenshotFrom(const char* path) const {
    if (!path || *path == '\0')
        refuse("--screenshot wants the name of a PNG file to write");
    const std::string name = path;
    struct stat info;
    const bool exists = stat(path, &info) == 0;
    if (exists && S_ISDIR(info.st_mode))
        refuse("--screenshot cannot write '" + name + "': it is a directory");
    if (access(exists ? path : folderOf(name).c_str(), W_OK) != 0)
        refuse("--screenshot cannot write '" + name + "': " + std::strerror(errno));
    return name;
}

}  // namespace bm
