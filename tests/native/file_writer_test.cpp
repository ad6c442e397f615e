// The whole-file writer: a write that fails at any step leaves the old file byte for byte and no
// half-written file beside it.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include "design/file_io.h"
#include "design_test_support.h"

using namespace design_test;

namespace {

// A disk that takes half of what it is given and claims the whole.
std::size_t HalfWrittenClaimedWhole(const void* data, std::size_t size, std::FILE* file) {
    std::fwrite(data, 1, size / 2, file);
    return size;
}

TEST(FileWriter, AFailedWriteLeavesTheOldFileAndNothingBesideIt) {
    const std::vector<uint8_t> before(100, 'o'), after(20000, 'n');
    struct Case {
        const char* target;  // below the test folder, which holds design.orp and the folder dir.orp
        FileWriteCall write;
        rlim_t sizeLimit;    // the kernel's own short write: a file size limit below 20000 bytes
        SaveFailure expected;
    } cases[] = {
        {"design.orp", HalfWrittenClaimedWhole, 0, kSaveIncomplete},
        {"design.orp", nullptr, 4096, kSaveIncomplete},
        {"missing/design.orp", nullptr, 0, kSaveNotCreated},
        {"dir.orp", nullptr, 0, kSaveNotReplaced},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases) << ": " << c.target);
        TempDir dir;
        WriteFile(dir.File("design.orp"), before);
        ASSERT_EQ(0, mkdir(dir.File("dir.orp").c_str(), 0755));
        rlimit saved{}, limit{};
        getrlimit(RLIMIT_FSIZE, &saved);
        limit = saved;
        if (c.sizeLimit) limit.rlim_cur = c.sizeLimit;
        auto* signal = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &limit);
        SaveFailure why = kSaved;
        const int written = WriteWholeFile(dir.File(c.target).c_str(), after.data(), after.size(), &why, c.write);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, signal);
        EXPECT_EQ(0, written);
        EXPECT_EQ(c.expected, why);
        EXPECT_EQ(before, ReadFile(dir.File("design.orp")));
        EXPECT_EQ(1u, ListFolderFiles(dir.File("").c_str()).size()) << "a temporary file was left";
    }
}

}  // namespace
