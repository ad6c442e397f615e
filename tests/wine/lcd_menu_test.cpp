// The LCDs menu built from the LCD type library of the work directory.
#include <gtest/gtest.h>

#include <cstdio>

#include "harness/panel_session.h"
#include "lcd/lcd_library.h"

namespace {

constexpr int kLcdsMenuPosition = 4;

void WriteLcdLibrary(const std::string& workDir) {
    CreateDirectoryA((workDir + "\\ORPDesigns").c_str(), nullptr);
    CreateDirectoryA((workDir + "\\ORPDesigns\\LCDs").c_str(), nullptr);
    const std::string plain =
        "KAVO1[LCD TYPES]\n"
        "Name=Line 16\nLines=1\nCharacters=16\nTooltip=one line of sixteen\n"
        "Name=Two by 20\nLines=2\nCharacters=20\n";
    const std::string encoded = EncodeLcdFile(plain.data(), plain.size());
    std::FILE* file = std::fopen((workDir + "\\ORPDesigns\\LCDs\\Bench.lcd").c_str(), "wb");
    if (!file) return;
    std::fwrite(encoded.data(), 1, encoded.size(), file);
    std::fclose(file);
}

std::string MenuItemText(HMENU menu, int position) {
    char text[128] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

TEST(LcdMenu, ListsTheLibraryFilesAndTheirTypes) {
    PanelSession panel(OPT_ENGLISH | OPT_LCD_LIBRARY, TestSettings{}, WriteLcdLibrary);
    ASSERT_TRUE(panel.ok()) << panel.error();
    HMENU bar = GetMenu(panel.panel());
    HMENU lcds = GetSubMenu(bar, kLcdsMenuPosition);
    ASSERT_NE(nullptr, lcds);
    ASSERT_TRUE(WaitUntil([&] { return GetMenuItemCount(lcds) == 1 && GetSubMenu(lcds, 0); }))
        << "entries: " << GetMenuItemCount(lcds);
    EXPECT_EQ("Bench", MenuItemText(lcds, 0));
    HMENU group = GetSubMenu(lcds, 0);
    ASSERT_EQ(2, GetMenuItemCount(group));
    EXPECT_EQ("Line 16", MenuItemText(group, 0));
    EXPECT_EQ("Two by 20", MenuItemText(group, 1));
    EXPECT_EQ(32860u, GetMenuItemID(group, 0));
    EXPECT_EQ(32861u, GetMenuItemID(group, 1));
}

TEST(LcdMenu, WithoutTheOptionTheMenuKeepsItsPlaceholder) {
    PanelSession panel(OPT_ENGLISH | OPT_NO_LCD_LIBRARY, TestSettings{}, WriteLcdLibrary);
    ASSERT_TRUE(panel.ok()) << panel.error();
    HMENU lcds = GetSubMenu(GetMenu(panel.panel()), kLcdsMenuPosition);
    // The reset announcement comes after the menu would have been built.
    ASSERT_EQ("r\r", panel.NextFrame());
    EXPECT_EQ(1, GetMenuItemCount(lcds));
    EXPECT_EQ(nullptr, GetSubMenu(lcds, 0));
}

}  // namespace
