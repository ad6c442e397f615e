// The whole-file writer: a write that fails at any step leaves the old file byte for byte and no
// half-written file beside it.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "design/file_io.h"
#include "design_test_support.h"

using namespace design_test;

namespace {

// A disk that takes half of what it is given: reporting it, or claiming the whole.
std::size_t HalfWritten(const void* data, std::size_t size, std::FILE* file) {
    return std::fwrite(data, 1, size / 2, file);
}
std::size_t HalfWrittenClaimedWhole(const void* data, std::size_t size, std::FILE* file) {
    std::fwrite(data, 1, size / 2, file);
    return size;
}

// The kernel's own short write: a file size limit for this process below the new file's size
// (0: no limit set).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : active_(bytes != 0) {
        if (!active_) return;
        getrlimit(RLIMIT_FSIZE, &saved_);
        signal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        if (!active_) return;
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, signal_);
    }

private:
    bool active_;
    rlimit saved_{};
    void (*signal_)(int) = nullptr;
};

std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names = ListFolderFiles(folder.c_str());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(FileWriter, AFailedWriteLeavesTheOldFileAndNothingBesideIt) {
    const std::vector<uint8_t> before(100, 'o');
    const std::vector<uint8_t> after(20000, 'n');
    struct Case {
        const char* name;
        const char* target;  // below the test folder; "folder.orp" is a folder
        FileWriteCall write;
        rlim_t sizeLimit;    // 0: none
        SaveFailure expected;
    } cases[] = {
        {"short write", "design.orp", HalfWritten, 0, kSaveIncomplete},
        {"short write reported as complete", "design.orp", HalfWrittenClaimedWhole, 0, kSaveIncomplete},
        {"file size limit", "design.orp", nullptr, 4096, kSaveIncomplete},
        {"missing folder", "missing/design.orp", nullptr, 0, kSaveNotCreated},
        {"target is a folder", "folder.orp", nullptr, 0, kSaveNotReplaced},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        WriteFile(dir.File("design.orp"), before);
        ASSERT_EQ(0, mkdir(dir.File("folder.orp").c_str(), 0755));
        const std::vector<std::string> listed = Listing(dir.File(""));
        SaveFailure why = kSaved;
        SetFileWriteCall(c.write);
        int written;
        {
            FileSizeLimit limit(c.sizeLimit);
            written = WriteWholeFile(dir.File(c.target).c_str(), after.data(), after.size(), &why);
        }
        SetFileWriteCall(nullptr);
        EXPECT_EQ(0, written);
        EXPECT_EQ(c.expected, why);
        EXPECT_EQ(before, ReadFile(dir.File("design.orp")));
        EXPECT_EQ(listed, Listing(dir.File(""))) << "a temporary file was left";
        struct stat info {};
        EXPECT_EQ(0, stat(dir.File("folder.orp").c_str(), &info));
        EXPECT_TRUE(S_ISDIR(info.st_mode));
    }
}

TEST(FileWriter, ACompleteWriteReplacesTheOldFile) {
    TempDir dir;
    const std::string path = dir.File("design.orp");
    WriteFile(path, std::vector<uint8_t>(5000, 'o'));  // longer than the new file
    const std::vector<uint8_t> after = {1, 2, 3};
    SaveFailure why = kSaveIncomplete;
    ASSERT_EQ(1, WriteWholeFile(path.c_str(), after.data(), after.size(), &why));
    EXPECT_EQ(kSaved, why);
    EXPECT_EQ(after, ReadFile(path));
    EXPECT_EQ(std::vector<std::string>{"design.orp"}, Listing(dir.File("")));
    ASSERT_EQ(1, WriteWholeFile(path.c_str(), nullptr, 0));
    EXPECT_TRUE(ReadFile(path).empty());
}

}  // namespace
