// Loading, starting and unloading orppanel.dll through its six exports.
#include <gtest/gtest.h>

#include "harness/panel_dll.h"

namespace {

class LibraryBoundary : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(dll.Load(&error)) << error;
    }
    PanelDll dll;
};

TEST_F(LibraryBoundary, EveryExportResolvesByNameAndByItsOrdinal) {
    const char* names[] = {ORPPANEL_NAME_BINDLCDDLL,     ORPPANEL_NAME_CHECKRX,    ORPPANEL_NAME_CLOSE,
                           ORPPANEL_NAME_RECEIVEFROMAPP, ORPPANEL_NAME_SETOPTIONS, ORPPANEL_NAME_SETRXTARGET};
    for (int ordinal = 1; ordinal <= 6; ++ordinal) {
        FARPROC byName = GetProcAddress(dll.module, names[ordinal - 1]);
        FARPROC byOrdinal = GetProcAddress(dll.module, MAKEINTRESOURCEA(ordinal));
        EXPECT_NE(nullptr, byName) << names[ordinal - 1];
        EXPECT_EQ(byName, byOrdinal) << names[ordinal - 1];
    }
    EXPECT_EQ(nullptr, GetProcAddress(dll.module, MAKEINTRESOURCEA(7)));
    EXPECT_EQ(nullptr, GetProcAddress(dll.module, "SetOptions"));
    dll.bindLcdDll();  // does nothing, must not crash
}

TEST_F(LibraryBoundary, RevisionAboveOneIsRefusedAndChangesNothing) {
    EXPECT_EQ(0ul, dll.Start(OPT_ENGLISH, 2));
    EXPECT_EQ(nullptr, FindPanelWindow());
    // The options word is still zero: the first accepted call reports 0 as the previous word.
    EXPECT_EQ(0ul, dll.Start(OPT_ENGLISH, 1));
    EXPECT_EQ(0ul, dll.Start(0, 7));
    EXPECT_EQ(static_cast<unsigned long>(OPT_ENGLISH), dll.Start(0, 0));
}

TEST_F(LibraryBoundary, OptionsAreNormalisedAndEachCallReturnsThePreviousWord) {
    EXPECT_EQ(0x000ul, dll.Start(0x100));
    EXPECT_EQ(0x102ul, dll.Start(0x002));
    EXPECT_EQ(0x102ul, dll.Start(0x112));
    EXPECT_EQ(0x010ul, dll.Start(0x010));
    EXPECT_EQ(0x010ul, dll.Start(0x020));
}

TEST_F(LibraryBoundary, CloseShowsNoMoreWindowAndFreeLibraryEndsTheThread) {
    int threadsBefore = ThreadCount();
    dll.Start(OPT_ENGLISH);
    ASSERT_TRUE(WaitUntil([] { return FindPanelWindow() != nullptr; })) << "panel window never appeared";

    DWORD start = GetTickCount();
    dll.close();
    dll.Unload(false);
    EXPECT_LT(GetTickCount() - start, 3000u) << "Close + FreeLibrary must return promptly";
    EXPECT_TRUE(WaitUntil([] { return GetModuleHandleA("orppanel.dll") == nullptr; }))
        << "the DLL stayed mapped after the user-interface thread ended";
    EXPECT_TRUE(WaitUntil([&] { return ThreadCount() <= threadsBefore; })) << "user-interface thread still runs";
    EXPECT_EQ(nullptr, FindPanelWindow());

    // The same process can load and start the panel again.
    std::string error;
    ASSERT_TRUE(dll.Load(&error)) << error;
    EXPECT_EQ(0ul, dll.Start(OPT_ENGLISH));
    EXPECT_TRUE(WaitUntil([] { return FindPanelWindow() != nullptr; }));
}

TEST_F(LibraryBoundary, UnloadingWithoutSetOptionsUnmapsTheLibraryEveryTime) {
    for (int round = 0; round < 5; ++round) {
        dll.Unload(round % 2 == 1);  // Close before SetOptions is harmless
        EXPECT_TRUE(WaitUntil([] { return GetModuleHandleA("orppanel.dll") == nullptr; })) << "round " << round;
        std::string error;
        ASSERT_TRUE(dll.Load(&error)) << error;
    }
}

}  // namespace
