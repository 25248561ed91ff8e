// BrackmoorFileSystem.h - a shared line reader and whole-file queries; results are 1 or -1.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

extern std::ifstream inFile;          // the line reader's one stream
extern std::int32_t minimumFileSize;  // bytes an empty file reports; set by the probe

void OpenFile(const char* filename);  // exits with status 1 when the file cannot be opened
std::string ReadLine();
void CloseFile();
short deleteFile(const char* filename);
short fileExistsWithSize(const char* filename, std::int32_t filesize);
short fileExists(char* filename);
std::int32_t getFilesize(char* filename);
void setupQuarnFileSystem(char* filename);
