// BrackmoorStringFunctions.cpp - string searches and cuts with positions counted from 0.
#include "BrackmoorStringFunctions.h"

namespace {

// A negative int turns into a huge size: "to the end" for a count, out of range for a start.
std::string::size_type asSize(int value) {
    return static_cast<std::string::size_type>(value);
}

}  // namespace

int InStr(const std::string& str, const std::string& what, int pos) {
    if (pos < 0)
        return -1;
    const std::string::size_type found = str.find_first_of(what, asSize(pos));
    return found == std::string::npos ? -1 : static_cast<int>(found);
}

std::string Mid(const std::string& from, int location, int length) {
    return from.substr(asSize(location), asSize(length));
}

std::string Left(const std::string& from, int location) {
    return from.substr(0, asSize(location));
}

std::string Right(const std::string& from, int location) {
    // Unsigned: a location longer than the string wraps past the end and throws.
    return from.substr(from.size() - asSize(location));
}

bool hasEnding(const std::string& fullString, const std::string& ending) {
    if (ending.size() > fullString.size())
        return false;
    return fullString.compare(fullString.size() - ending.size(), ending.size(), ending) == 0;
}

std::string getExtension(const std::string& filename) {
    // Only a dot among the last five characters starts an extension; shorter names have none.
    const int windowStart = static_cast<int>(filename.size()) - 5;
    const int dotLocation = InStr(filename, ".", windowStart);
    if (dotLocation == -1)
        return "";
    return Right(filename, static_cast<int>(filename.size()) - dotLocation);
}

std::string stripDirectory(char* /*filename*/) {
    return "";
}
