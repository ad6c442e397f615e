#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "design/byte_io.h"
#include "design/design_file.h"
#include "design/design_paths.h"
#include "design/lcd_geometry.h"
#include "design_test_support.h"
#include "panel/panel.h"
#include "test_panel.h"

using namespace design_test;

namespace {

std::vector<std::string> g_trace;

class FrontPlateFile : public ::testing::Test {
protected:
    FakePlatformScope platform_;
    void SetUp() override {
        FreshDesignState();
        g_trace.clear();
        platform_.fake.trace = [](const char* t) { g_trace.emplace_back(t); };
        platePath[0] = designPath[0] = '\0';
        TestPanel().design.paths = stDesignPaths{designPath, platePath, nullptr};
    }
    void TearDown() override {
        UseSettingsPaths(TestPanel());
        ReleaseDesignState();
    }
    // Writes the bytes as the front-plate file and imports it.
    int Import(const std::vector<uint8_t>& bytes) {
        std::string path = dir.File("plate.bmp");
        WriteFile(path, bytes);
        std::strcpy(platePath, path.c_str());
        return ImportPlate(TestPanel().heap, TestPanel().design.plate, TestPanel().design.paths.frontPlatePath);
    }
    char platePath[kDesignPathSize];
    char designPath[kDesignPathSize];
    TempDir dir;
};

constexpr uint32_t k96Dpi = 960000;

TEST_F(FrontPlateFile, StoredResolutionGivesPhysicalSizeAndScale) {
    ASSERT_EQ(1, Import(MakeBitmap(800, 600, 3780)));
    stPlateScale scale{};
    ASSERT_EQ(1, BuildPlateFor(TestPanel().design.plate, TestPanel().monitor, nullptr, k96Dpi, k96Dpi, &scale));
    EXPECT_EQ(800, TestPanel().design.plate.widthPx);
    EXPECT_EQ(600, TestPanel().design.plate.heightPx);
    EXPECT_EQ(211640, TestPanel().design.plate.widthUm);
    EXPECT_EQ(158730, TestPanel().design.plate.heightUm);
    EXPECT_FLOAT_EQ(960000.0f / 960120.0f, scale.x);
    EXPECT_FLOAT_EQ(960000.0f / 960120.0f, scale.y);

    // A size already known (edited in the model dialog) is kept.
    TestPanel().design.plate.widthUm = 12345;
    ASSERT_EQ(1, BuildPlateFor(TestPanel().design.plate, TestPanel().monitor, nullptr, k96Dpi, k96Dpi, &scale));
    EXPECT_EQ(12345, TestPanel().design.plate.widthUm);
}

TEST_F(FrontPlateFile, BuildSetsThePlateScalesOfTheGeometry) {
    ResetGeometry(TestPanel());
    TestPanel().design.scale.plateScaleX = 3.0f;
    EXPECT_EQ(0, BuildPlate(TestPanel().design.plate, TestPanel().design.scale, TestPanel().monitor, nullptr));  // no image: scales back to 1.0
    EXPECT_FLOAT_EQ(1.0f, TestPanel().design.scale.plateScaleX);
    ASSERT_EQ(1, SetScreenResolution(TestPanel().design.scale, 1440000, 960000));  // 144 x 96 dpi
    ASSERT_EQ(1, Import(MakeBitmap(800, 600, 3780)));
    ASSERT_EQ(1, BuildPlate(TestPanel().design.plate, TestPanel().design.scale, TestPanel().monitor, nullptr));
    EXPECT_FLOAT_EQ(1440000.0f / 960120.0f, TestPanel().design.scale.plateScaleX);
    EXPECT_FLOAT_EQ(960000.0f / 960120.0f, TestPanel().design.scale.plateScaleY);
    ResetGeometry(TestPanel());
}

TEST_F(FrontPlateFile, MissingResolutionIsTakenFromTheScreenAndRecorded) {
    ASSERT_EQ(1, Import(MakeBitmap(800, 600, 0)));
    TestPanel().design.plate.widthUm = 5;  // recomputed regardless
    stPlateScale scale{};
    ASSERT_EQ(1, BuildPlateFor(TestPanel().design.plate, TestPanel().monitor, nullptr, k96Dpi, k96Dpi, &scale));
    EXPECT_EQ(211667, TestPanel().design.plate.widthUm);
    EXPECT_EQ(158750, TestPanel().design.plate.heightUm);
    EXPECT_EQ(3780u, LoadU32(TestPanel().design.plate.infoHeader + 24));
    EXPECT_EQ(3780u, LoadU32(TestPanel().design.plate.infoHeader + 28));

    // A design saved now carries the recorded resolution.
    std::vector<uint8_t> design;
    SerializeDesign(TestPanel().design, TestPanel().lcdDraw, &design);
    EXPECT_EQ(3780u, Get32(design, 16 + 14 + 24));
}

TEST_F(FrontPlateFile, TopDownAndCoreHeaderBitmaps) {
    ASSERT_EQ(1, Import(MakeBitmap(10, -4, 3780)));
    ASSERT_EQ(1, BuildPlateFor(TestPanel().design.plate, TestPanel().monitor, nullptr, k96Dpi, k96Dpi, nullptr));
    EXPECT_EQ(4, TestPanel().design.plate.heightPx);

    // 12-byte core header, 8x2 pixels at 24 bits: no resolution fields, shown pixel for pixel.
    std::vector<uint8_t> core(14 + 12 + 24 * 2, 0);
    core[0] = 'B';
    core[1] = 'M';
    Put32(core, 2, static_cast<uint32_t>(core.size()));
    Put32(core, 10, 26);
    Put32(core, 14, 12);
    core[18] = 8;
    core[20] = 2;
    core[22] = 1;
    core[24] = 24;
    ReleasePlate(TestPanel().design.plate);
    TestPanel().design.plate.widthUm = 0;
    ASSERT_EQ(1, Import(core));
    stPlateScale scale{};
    ASSERT_EQ(1, BuildPlateFor(TestPanel().design.plate, TestPanel().monitor, nullptr, k96Dpi, k96Dpi, &scale));
    EXPECT_EQ(8, TestPanel().design.plate.widthPx);
    EXPECT_EQ(2, TestPanel().design.plate.heightPx);
    EXPECT_EQ(2117, TestPanel().design.plate.widthUm);
    EXPECT_FLOAT_EQ(1.0f, scale.x);
}

TEST_F(FrontPlateFile, ShortSizeFieldIsCorrectedOnceForExportAndDesign) {
    std::vector<uint8_t> bmp = MakeBitmap(4, 4, 3780);
    uint32_t length = static_cast<uint32_t>(bmp.size());
    Put32(bmp, 2, length - 40);
    bmp[0] = 'X';  // the signature is not tested for these files
    ASSERT_EQ(1, Import(bmp));
    EXPECT_EQ(1, TestPanel().design.plate.shortSize);

    std::string out = dir.File("out.bmp");
    ASSERT_EQ(1, ExportPlate(TestPanel().design.plate, out.c_str()));
    std::vector<uint8_t> exported = ReadFile(out);
    ASSERT_EQ(length, exported.size());
    EXPECT_EQ(length, Get32(exported, 2));
    ASSERT_EQ(1, ExportPlate(TestPanel().design.plate, out.c_str()));
    EXPECT_EQ(length, Get32(ReadFile(out), 2));  // not 40 more again

    ReleasePlate(TestPanel().design.plate);
    ASSERT_EQ(1, Import(bmp));
    std::vector<uint8_t> design;
    SerializeDesign(TestPanel().design, TestPanel().lcdDraw, &design);
    EXPECT_EQ(length, Get32(design, 12));
    EXPECT_EQ(length, Get32(design, 16 + 2));
    EXPECT_EQ(0, TestPanel().design.plate.shortSize);
}

TEST_F(FrontPlateFile, FilesThatDoNotHoldWhatTheirHeadersSayAreRefused) {
    std::vector<uint8_t> good = MakeBitmap(8, 8, 3780);
    auto refused = [&](const char* what, std::vector<uint8_t> bytes) {
        EXPECT_EQ(0, Import(bytes)) << what;
        EXPECT_EQ(nullptr, TestPanel().design.plate.image) << what;
    };
    auto with32 = [&](std::size_t at, uint32_t v) {
        std::vector<uint8_t> b = good;
        Put32(b, at, v);
        return b;
    };
    refused("size field matching neither length", with32(2, static_cast<uint32_t>(good.size()) - 1));
    std::vector<uint8_t> wrongSignature = good;
    wrongSignature[1] = 'A';
    refused("wrong signature", wrongSignature);
    refused("pixel offset past the end", with32(10, static_cast<uint32_t>(good.size()) + 1));
    refused("pixel offset inside the header", with32(10, 20));
    refused("info header longer than the file", with32(14, 0x1000));
    refused("more rows than pixels", with32(22, 9));
    refused("wider than the pixels", with32(18, 0x40000000));
    refused("zero width", with32(18, 0));
    refused("unknown depth", with32(28, 23));
    refused("colour table past the end", with32(28, 8));  // 8 bits: 1024 table bytes
    refused("empty file", {});
    std::strcpy(platePath, dir.File("nothere.bmp").c_str());
    EXPECT_EQ(0, ImportPlate(TestPanel().heap, TestPanel().design.plate, TestPanel().design.paths.frontPlatePath));
}

TEST_F(FrontPlateFile, LaterInfoHeaderVersionIsRefusedWhenBuilt) {
    std::vector<uint8_t> v4 = MakeBitmap(2, 2, 3780);
    // Grow the info header to 108 bytes in front of the pixels.
    v4.insert(v4.begin() + 54, 68, 0);
    Put32(v4, 2, static_cast<uint32_t>(v4.size()));
    Put32(v4, 10, 122);
    Put32(v4, 14, 108);
    ASSERT_EQ(1, Import(v4));
    EXPECT_EQ(0, BuildPlateFor(TestPanel().design.plate, TestPanel().monitor, nullptr, k96Dpi, k96Dpi, nullptr));
    EXPECT_EQ(nullptr, TestPanel().design.plate.image);
    ASSERT_EQ(1u, g_trace.size());
    EXPECT_EQ("unerwartete bimtmap datei header g\xF6" "sse\r\n", g_trace[0]);
}

TEST_F(FrontPlateFile, BuildHandsHeaderAndPixelsToThePlatformHook) {
    static const uint8_t* seenHeader;
    static const uint8_t* seenPixels;
    static int marker;
    platform_.fake.buildPlate = [](void* window, void* previous, const uint8_t* header, const uint8_t* pixels) -> void* {
        EXPECT_EQ(&marker, window);
        EXPECT_EQ(nullptr, previous);
        seenHeader = header;
        seenPixels = pixels;
        return &marker;
    };
    EXPECT_EQ(0, BuildPlateFor(TestPanel().design.plate, TestPanel().monitor, &marker, k96Dpi, k96Dpi, nullptr));  // no image yet
    ASSERT_EQ(1, Import(MakeBitmap(3, 3, 3780)));
    ASSERT_EQ(1, BuildPlateFor(TestPanel().design.plate, TestPanel().monitor, &marker, k96Dpi, k96Dpi, nullptr));
    EXPECT_EQ(TestPanel().design.plate.image + 14, seenHeader);
    EXPECT_EQ(TestPanel().design.plate.image + 54, seenPixels);
    EXPECT_EQ(&marker, TestPanel().design.plate.bitmap);
    TestPanel().design.plate.bitmap = nullptr;
}

TEST_F(FrontPlateFile, ImportAndExportEdges) {
    EXPECT_EQ(1, ImportPlate(TestPanel().heap, TestPanel().design.plate, TestPanel().design.paths.frontPlatePath));  // no path: nothing to load
    EXPECT_EQ(nullptr, TestPanel().design.plate.image);
    EXPECT_EQ(0, ExportPlate(TestPanel().design.plate, dir.File("none.bmp").c_str()));
    EXPECT_TRUE(ReadFile(dir.File("none.bmp")).empty());
    ASSERT_EQ(1, Import(MakeBitmap(3, 3, 3780)));
    EXPECT_EQ(0, ExportPlate(TestPanel().design.plate, dir.File("no/such/dir.bmp").c_str()));
}

}  // namespace
