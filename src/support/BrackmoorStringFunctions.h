// BrackmoorStringFunctions.h - short names for string searches and cuts; positions count from 0.
#pragma once

#include <string>

// Index of the first character at pos or later that is any character of what, or -1.
int InStr(const std::string& str, const std::string& what, int pos);
std::string Mid(const std::string& from, int location, int length);
std::string Left(const std::string& from, int location);
std::string Right(const std::string& from, int location);
bool hasEnding(const std::string& fullString, const std::string& ending);
// The text from a dot among the last five characters to the end, or "".
std::string getExtension(const std::string& filename);
std::string stripDirectory(char* filename);
