// BrackmoorFileSystem.h - a shared line reader and whole-file queries (results 1 or -1), and
// finding a file whose name another machine wrote in another case.
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

namespace bm {
bool isFile(const std::string& path);    // a regular file, through links
bool isFolder(const std::string& path);  // a directory, through links

// The file (or, with folderWanted, the folder) in folder called name regardless of case, as
// folder + "/" + its name: the exact name first, else the first match in byte order. Empty when
// there is none.
std::string inFolderAnyCase(const std::string& folder, const std::string& name,
                            bool folderWanted = false);

// The file at path, each folder and file name on the way matched regardless of case where the
// name as written is missing; empty when there is no such file. "." and ".." are taken as they
// are.
std::string findFileAnyCase(const std::string& path);
}  // namespace bm
