#include <gtest/gtest.h>

#include "common/options.h"

TEST(Options, LibraryBitsAreCoupledUnlessSwitchedOff) {
    EXPECT_EQ(0x102u, NormaliseOptions(0x100));
    EXPECT_EQ(0x102u, NormaliseOptions(0x002));
    EXPECT_EQ(0x010u, NormaliseOptions(0x112));
    EXPECT_EQ(0x010u, NormaliseOptions(0x010));
    EXPECT_EQ(0x020u, NormaliseOptions(0x020));
}

TEST(Options, RevisionAboveOneIsRefusedAndLaterCallsReturnThePreviousWord) {
    PanelOptions options;
    uint32_t previous = 99;
    EXPECT_FALSE(AcceptOptions(options, 2, 0x20, &previous));
    EXPECT_EQ(0u, OptionsWord(options));
    EXPECT_TRUE(AcceptOptions(options, 0, 0x100, &previous));
    EXPECT_EQ(0u, previous);
    EXPECT_TRUE(AcceptOptions(options, 1, 0x20, &previous));
    EXPECT_EQ(0x102u, previous);
    EXPECT_FALSE(AcceptOptions(options, 0xFFFFFFFFu, 0, &previous));
    EXPECT_EQ(0x20u, previous);
    EXPECT_EQ(0x20u, OptionsWord(options));
    EXPECT_TRUE(EnglishUi(options));
    EXPECT_FALSE(EditingAllowed(options));
}
