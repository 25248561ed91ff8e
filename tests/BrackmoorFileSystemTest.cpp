// BrackmoorFileSystemTest.cpp - the line reader, file queries and the probe, on real files.
#include "BrackmoorFileSystem.h"

#include "support/GLWindow.h"

#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <limits>

namespace fs = std::filesystem;

namespace {

class BrackmoorFileSystem : public ::testing::Test {
protected:
    void SetUp() override {
        dir = bm::test::makeTempDir();
        minimumFileSize = 0;
    }
    void TearDown() override {
        CloseFile();
        fs::remove_all(dir);
    }
    // Writes content (binary) to a new file in the test's directory and returns its path.
    std::string write(const std::string& name, const std::string& content) {
        const std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    std::string dir;
};

// The probe's output and the minimum size it leaves.
std::string probe(std::string path) {
    testing::internal::CaptureStdout();
    setupQuarnFileSystem(path.data());
    return testing::internal::GetCapturedStdout();
}

// Makes path impossible to rewrite or remove, even for root; false when the system won't.
bool lockFile(const std::string& path, bool locked) {
    if (geteuid() != 0) {
        const auto dirMode =
            locked ? fs::perms::owner_read | fs::perms::owner_exec : fs::perms::owner_all;
        fs::permissions(path, locked ? fs::perms::owner_read : fs::perms::owner_all);
        fs::permissions(fs::path(path).parent_path(), dirMode);
        return true;
    }
    const int fd = open(path.c_str(), O_RDONLY);
    int flags = 0;
    bool done = fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = locked ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        close(fd);
    return done;
}

}  // namespace

TEST_F(BrackmoorFileSystem, Sizes) {
    std::string big = write("big", std::string(65536, 'x'));
    std::string empty = write("empty", "");
    std::string missing = dir + "/missing";
    EXPECT_EQ(getFilesize(big.data()), 65536);
    EXPECT_EQ(getFilesize(empty.data()), 0);
    EXPECT_EQ(getFilesize(missing.data()), -1);
    EXPECT_EQ(getFilesize(dir.data()), -1);  // a directory is not a file
}

TEST_F(BrackmoorFileSystem, FileExistsWithSize) {
    const std::string empty = write("empty", "");
    const std::string ten = write("ten", "0123456789");
    const struct {
        std::string path;
        std::int32_t size;
        short expected;
    } cases[] = {
        {empty, 0, 1},
        {dir + "/missing", 0, -1},
        {dir + "/missing", -1, -1},
        {ten, 10, 1},
        {ten, 9, -1},
        {ten, 11, -1},
        {dir, 0, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fileExistsWithSize(c.path.c_str(), c.size), c.expected)
            << c.path << " " << c.size;
}

// A file of exactly the minimum size counts as absent: before any probe, and after one.
TEST_F(BrackmoorFileSystem, FileExistsAgainstMinimumSize) {
    std::string empty = write("empty", "");
    std::string one = write("one", "x");
    std::string missing = dir + "/missing";
    for (bool probed : {false, true}) {
        if (probed) {
            EXPECT_EQ(probe(dir + "/probe"), "");
        }
        EXPECT_EQ(minimumFileSize, 0);
        EXPECT_EQ(fileExists(empty.data()), -1) << probed;
        EXPECT_EQ(fileExists(one.data()), 1) << probed;
        EXPECT_EQ(fileExists(missing.data()), -1) << probed;
    }
    EXPECT_FALSE(fs::exists(dir + "/probe"));
    minimumFileSize = 1;
    EXPECT_EQ(fileExists(empty.data()), 1);
    EXPECT_EQ(fileExists(one.data()), -1);
}

// Sizes past 32 bits must not wrap: 4 GiB would read as 0 (absent), 4 GiB + 42 as 42.
TEST_F(BrackmoorFileSystem, SizesPastThirtyTwoBitsDoNotWrap) {
    const std::string four = write("four", ""), fourPlus = write("fourPlus", "");
    fs::resize_file(four, std::uintmax_t(1) << 32);  // sparse: no disk space is used
    fs::resize_file(fourPlus, (std::uintmax_t(1) << 32) + 42);
    std::string a = four, b = fourPlus;
    EXPECT_EQ(fileExists(a.data()), 1);
    EXPECT_EQ(fileExistsWithSize(a.c_str(), 0), -1);
    EXPECT_EQ(fileExistsWithSize(b.c_str(), 42), -1);
    EXPECT_EQ(getFilesize(b.data()), std::numeric_limits<std::int32_t>::max());
}

TEST_F(BrackmoorFileSystem, DeleteFile) {
    const std::string path = write("doomed", "x");
    EXPECT_EQ(deleteFile(path.c_str()), 1);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(deleteFile(path.c_str()), -1);
}

// The probe truncates an existing file, measures it empty and removes it.
TEST_F(BrackmoorFileSystem, ProbeMeasuresAndRemovesScratchFile) {
    const std::string path = write("scratch", "old contents");
    minimumFileSize = 5;
    EXPECT_EQ(probe(path), "");
    EXPECT_EQ(minimumFileSize, 0);
    EXPECT_FALSE(fs::exists(path));
}

// Both steps fail: the file can be neither created nor read back.
TEST_F(BrackmoorFileSystem, ProbeFailures) {
    const std::string writing = "QUARNFILESYSTEM:Error encountered when writing file\n";
    const std::string reading = "QUARNFILESYSTEM:Error encountered when reading from file\n";
    const std::string inMissingDir = dir + "/no/such/dir/probe";
    const std::string aDirectory = dir + "/sub";
    fs::create_directory(aDirectory);
    for (const std::string& path : {inMissingDir, aDirectory}) {
        minimumFileSize = 7;
        EXPECT_EQ(probe(path), writing + reading) << path;
        EXPECT_EQ(minimumFileSize, 0) << path;
    }
    EXPECT_TRUE(fs::is_directory(aDirectory));  // never removed as if it were the scratch file
}

// A file that can be read but neither rewritten nor removed: its size is kept, removal reported.
TEST_F(BrackmoorFileSystem, ProbeOnLockedFile) {
    fs::create_directory(dir + "/locked");
    const std::string path = write("locked/probe", "abc");
    if (!lockFile(path, true))
        GTEST_SKIP() << "this file system cannot lock files";
    const std::string out = probe(path);
    lockFile(path, false);
    EXPECT_EQ(out,
              "QUARNFILESYSTEM:Error encountered when writing file\n"
              "ERROR: could not delete file " +
                  path + "\n");
    EXPECT_EQ(minimumFileSize, 3);
    EXPECT_TRUE(fs::exists(path));
}

TEST_F(BrackmoorFileSystem, ReadLineThenEmptyStrings) {
    OpenFile(write("three", "first\n\nthird line\n").c_str());
    EXPECT_EQ(ReadLine(), "first");
    EXPECT_EQ(ReadLine(), "");
    EXPECT_EQ(ReadLine(), "third line");
    EXPECT_EQ(ReadLine(), "");
    EXPECT_EQ(ReadLine(), "");
}

TEST_F(BrackmoorFileSystem, ReadLineEndings) {
    OpenFile(write("crlf", "one\r\ntwo \r\n\r\nlast").c_str());
    EXPECT_EQ(ReadLine(), "one");
    EXPECT_EQ(ReadLine(), "two ");
    EXPECT_EQ(ReadLine(), "");
    EXPECT_EQ(ReadLine(), "last");  // no newline at the end
    EXPECT_EQ(ReadLine(), "");
}

TEST_F(BrackmoorFileSystem, ReadLineWithoutOpenFile) {
    EXPECT_EQ(ReadLine(), "");
}

// The end-of-file state of the first file must not fail the second open.
TEST_F(BrackmoorFileSystem, ReadLineAcrossFiles) {
    const std::string first = write("first", "a\nb\n"), second = write("second", "c\nd\n");
    OpenFile(first.c_str());
    EXPECT_EQ(ReadLine(), "a");
    EXPECT_EQ(ReadLine(), "b");
    EXPECT_EQ(ReadLine(), "");
    CloseFile();
    OpenFile(second.c_str());
    EXPECT_EQ(ReadLine(), "c");
}

// A path from a machine that ignores case: each folder and the file matched regardless of it,
// the name as written first; what is no file, or nowhere, is not found.
TEST_F(BrackmoorFileSystem, FindsFilesRegardlessOfCase) {
    fs::create_directories(dir + "/Objects/Cars");
    std::ofstream(dir + "/Objects/Cars/Cab.lwo") << "cab";
    std::ofstream(dir + "/Objects/Cars/cab.LWO") << "other cab";
    std::ofstream(dir + "/Objects/box.lwo") << "box";
    fs::create_directories(dir + "/Objects/folder.lwo");
    const struct {
        std::string asked, found;
    } cases[] = {
        {"/Objects/Cars/cab.LWO", "/Objects/Cars/cab.LWO"},  // as written, though not first
        {"/OBJECTS/CARS/CAB.LWO", "/Objects/Cars/Cab.lwo"},  // the first match in byte order
        {"/objects/BOX.lwo", "/Objects/box.lwo"},
        {"/objects/./Cars/../box.LWO", "/Objects/./Cars/../box.lwo"},
        {"/objects/folder.lwo", ""},
        {"/objects/missing.lwo", ""},
        {"/nowhere/box.lwo", ""},
        {"/Objects/box.lwo/", ""},
    };
    for (const auto& c : cases) {
        const std::string found = bm::findFileAnyCase(dir + c.asked);
        EXPECT_EQ(found, c.found.empty() ? "" : dir + c.found) << c.asked;
    }
    EXPECT_EQ(bm::inFolderAnyCase(dir + "/objects", "cars"), "");
    EXPECT_EQ(bm::inFolderAnyCase(dir + "/Objects", "cars", true), dir + "/Objects/Cars");
}

// The child process re-runs the binary, so its paths are fixed rather than made per test.
TEST(BrackmoorFileSystemExit, OpenMissingFileExits) {
    const std::string missing = "/proc/no-such-dir/missing.txt";
    EXPECT_EXIT(OpenFile(missing.c_str()), testing::ExitedWithCode(1),
                "^Error: file could not be opened : " + missing + "\n");
}

// One file at a time: the first must be closed before the next is opened.
TEST(BrackmoorFileSystemExit, OpenWhileAnotherIsOpenExits) {
    const std::string first = std::string(BRACKMOOR_TESTS_DIR) + "/demo_frames1.txt";
    const std::string second = std::string(BRACKMOOR_TESTS_DIR) + "/lsan.supp";
    EXPECT_EXIT(
        {
            OpenFile(first.c_str());
            OpenFile(second.c_str());
        },
        testing::ExitedWithCode(1), "^Error: file could not be opened : " + second + "\n");
}

// A directory opens as a stream but yields nothing: it is not a text file.
TEST(BrackmoorFileSystemExit, OpenDirectoryExits) {
    EXPECT_EXIT(OpenFile(BRACKMOOR_TESTS_DIR), testing::ExitedWithCode(1),
                std::string("^Error: file could not be opened : ") + BRACKMOOR_TESTS_DIR + "\n");
}
