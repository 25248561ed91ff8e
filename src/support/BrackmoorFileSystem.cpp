// BrackmoorFileSystem.cpp - the shared line reader, whole-file queries, the empty-file probe and
// finding files regardless of case.
#include "BrackmoorFileSystem.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <memory>

std::int32_t minimumFileSize = 0;

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

constexpr long long unknownSize = -1;

// Opens a regular file for binary reading; a directory is not a file here, though fopen takes it.
FilePtr openForReading(const char* filename) {
    FilePtr file(std::fopen(filename, "rb"));
    struct stat info;
    if (file && (fstat(fileno(file.get()), &info) != 0 || S_ISDIR(info.st_mode)))
        file.reset();
    return file;
}

// Bytes from the start to the end, in 64 bits so that large files are not wrapped, or -1.
long long measure(std::FILE* file) {
    if (fseeko(file, 0, SEEK_END) != 0)
        return unknownSize;
    const off_t end = ftello(file);
    return end < 0 ? unknownSize : static_cast<long long>(end);
}

bool isDirectory(const char* filename) {
    struct stat info;
    return stat(filename, &info) == 0 && S_ISDIR(info.st_mode);
}

long long sizeOf(const char* filename) {
    FilePtr file = openForReading(filename);
    return file ? measure(file.get()) : unknownSize;
}

// A size past 32 bits reads as the largest one: wrapping could make it small, or -1.
std::int32_t toLong(long long size) {
    const long long largest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::min(size, largest));
}

}  // namespace

void OpenFile(const char* filename) {
    // One file at a time: while one is still open, opening another fails as a missing file does.
    if (!inFile.is_open()) {
        inFile.clear();  // the end-of-file state of an earlier read is no failure
        // The stream would open a directory and then read nothing from it.
        if (!isDirectory(filename))
            inFile.open(filename);
        if (inFile.is_open())
            return;
    }
    std::cerr << "Error: file could not be opened : " << filename << std::endl;
    std::exit(1);
}

std::string ReadLine() {
    std::string line;
    std::getline(inFile, line);
    // Text written with carriage-return line ends reads the same here as on their own platform.
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

void CloseFile() {
    inFile.close();
}

short deleteFile(const char* filename) {
    return std::remove(filename) != 0 ? -1 : 1;
}

short fileExistsWithSize(const char* filename, std::int32_t filesize) {
    const long long size = sizeOf(filename);
    return size != unknownSize && size == filesize ? 1 : -1;
}

short fileExists(char* filename) {
    const long long size = sizeOf(filename);
    return size == unknownSize || size == minimumFileSize ? -1 : 1;
}

std::int32_t getFilesize(char* filename) {
    return toLong(sizeOf(filename));
}

void setupQuarnFileSystem(char* filename) {
    if (FilePtr created{std::fopen(filename, "wb")}; !created) {
        std::cout << "QUARNFILESYSTEM:Error encountered when writing file" << std::endl;
        minimumFileSize = 0;
    }
    FilePtr reopened = openForReading(filename);
    const long long size = reopened ? measure(reopened.get()) : unknownSize;
    reopened.reset();
    if (size == unknownSize) {
        std::cout << "QUARNFILESYSTEM:Error encountered when reading from file" << std::endl;
        minimumFileSize = 0;
        return;
    }
    minimumFileSize = toLong(size);
    if (std::remove(filename) != 0) {
        std::printf("ERROR: could not delete file %s\n", filename);
        std::fflush(stdout);
    }
}

namespace bm {

namespace {

bool sameIgnoringCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && b[i] == '\0';
}

std::string joined(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

bool isFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string inFolderAnyCase(const std::string& folder, const std::string& name, bool folderWanted) {
    const auto wanted = [folderWanted](const std::string& path) {
        return folderWanted ? isFolder(path) : isFile(path);
    };
    if (name.empty())
        return std::string();
    if (wanted(joined(folder, name)))
        return joined(folder, name);
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "." : folder.c_str()),
                                                  &closedir);
    if (!dir)
        return std::string();
    // readdir's order is the file system's: the smallest match is the same on every machine.
    std::string best;
    while (const dirent* entry = readdir(dir.get())) {
        if (sameIgnoringCase(name, entry->d_name) && (best.empty() || best > entry->d_name) &&
            wanted(joined(folder, entry->d_name)))
            best = entry->d_name;
    }
    return best.empty() ? best : joined(folder, best);
}

std::string findFileAnyCase(const std::string& path) {
    if (isFile(path))
        return path;
    std::string found = path.size() > 0 && path[0] == '/' ? "/" : "";
    std::size_t start = found.size();
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        const bool last = end == std::string::npos;
        if (last)
            end = path.size();
        const std::string name = path.substr(start, end - start);
        start = end + 1;
        if (name.empty() || name == "." || name == "..") {
            if (last)
                return std::string();
            found = joined(found, name.empty() ? "." : name);
            continue;
        }
        found = inFolderAnyCase(found, name, !last);
        if (found.empty() || last)
            return found;
    }
    return std::string();
}

}  // namespace bm
