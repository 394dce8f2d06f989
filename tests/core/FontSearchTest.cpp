// Where the default font comes from: the working directory's copy first (the demo and the
// tests draw with it), then beside the executable, the installed data directory and fontconfig;
// font data handed over before the engine exists replaces the file.
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Runs the test body in an empty scratch directory and comes back afterwards.
class InEmptyDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        home = fs::current_path();
        ASSERT_TRUE(fs::exists("data/fonts/Vera.ttf")) << "tests run in the staged run directory";
        scratch = fs::temp_directory_path() / ("tambergui-font-" + std::to_string(getpid()));
        fs::create_directories(scratch);
    }
    void TearDown() override {
        fs::current_path(home);
        fs::remove_all(scratch);
        unsetenv("FONTCONFIG_FILE");
        ZazOvadir::setFontData(nullptr, 0);
    }

    fs::path home, scratch;
};

TEST_F(InEmptyDirectory, TheWorkingDirectorysCopyWins) {
    EXPECT_EQ(ZazOvadir::findFontFile(), "data/fonts/Vera.ttf");
}

TEST_F(InEmptyDirectory, WithoutALocalCopyFontconfigFindsAFace) {
    fs::current_path(scratch);
    const std::string found = ZazOvadir::findFontFile();
    ASSERT_TRUE(fs::is_regular_file(found)) << found;
    TestApp app;
    EXPECT_NE(app.getDefaultFont(), nullptr);
    EXPECT_NE(app.getFtFace(), nullptr);
    EXPECT_EQ(app.getFontFile(), found);
}

TEST_F(InEmptyDirectory, WithNoFontAnywhereTheUsualPathIsReported) {
    fs::current_path(scratch);
    std::ofstream(scratch / "fonts.conf") << "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n";
    setenv("FONTCONFIG_FILE", (scratch / "fonts.conf").c_str(), 1);
    EXPECT_EQ(ZazOvadir::findFontFile(), "data/fonts/Vera.ttf");
}

TEST_F(InEmptyDirectory, FontDataHandedOverBeforeStartUpIsUsed) {
    std::ifstream in("data/fonts/Vera.ttf", std::ios::binary);
    std::vector<char> data{std::istreambuf_iterator<char>(in), {}};
    ASSERT_FALSE(data.empty());
    fs::current_path(scratch);
    std::ofstream(scratch / "fonts.conf") << "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n";
    setenv("FONTCONFIG_FILE", (scratch / "fonts.conf").c_str(), 1);
    ZazOvadir::setFontData(data.data(), data.size());
    TestApp app;
    ASSERT_NE(app.getDefaultFont(), nullptr);
    EXPECT_NE(app.getFtFace(), nullptr);
    EXPECT_STREQ(TTF_FontFaceFamilyName(app.getDefaultFont()), "Bitstream Vera Sans");
}

TEST_F(InEmptyDirectory, FontsOpenedLaterNeedTheFileNoMore) {
    // The file is read once at start: a font opened or drawn later does not go back to it.
    fs::create_directories(scratch / "data/fonts");
    fs::copy_file("data/fonts/Vera.ttf", scratch / "data/fonts/Vera.ttf");
    fs::current_path(scratch);
    TestApp app;
    ASSERT_NE(app.getDefaultFont(), nullptr);
    fs::remove(scratch / "data/fonts/Vera.ttf");
    TtfFontPtr bigger(app.openFont(20));
    ASSERT_NE(bigger, nullptr) << SDL_GetError();
    int w = 0, h = 0;
    EXPECT_EQ(TTF_SizeUTF8(bigger.get(), "Größe", &w, &h), 0);
    EXPECT_GT(w, 0);
}

}  // namespace
