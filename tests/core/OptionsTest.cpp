#include "core/Engine.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(WindowSize, AcceptedAndRejectedValues) {
    struct Case {
        const char* text;
        bool ok;
        int w, h;
        bool fullscreen;
    } cases[] = {
        {"800x600", true, 800, 600, false},
        {"0800x0600", true, 800, 600, false},
        {"8192x8192", true, 8192, 8192, false},
        {"1x1", true, 1, 1, false},
        {"fullscreen", true, 0, 0, true},
        {"8193x100", false, 0, 0, false},
        {"0x600", false, 0, 0, false},
        {"800x", false, 0, 0, false},
        {"x600", false, 0, 0, false},
        {"800x600x", false, 0, 0, false},
        {"800X600", false, 0, 0, false},
        {"800 x600", false, 0, 0, false},
        {"800x600 ", false, 0, 0, false},
        {"", false, 0, 0, false},
        {"Fullscreen", false, 0, 0, false},
        {"-800x600", false, 0, 0, false},
        {"99999999999999999999x1", false, 0, 0, false},
        {"800xx600", false, 0, 0, false},
    };
    for (const Case& c : cases) {
        int w = -1, h = -1;
        bool fs = false;
        EXPECT_EQ(ZazOvadir::parseWindowSize(c.text, w, h, fs), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(w, c.w) << c.text;
            EXPECT_EQ(h, c.h) << c.text;
            EXPECT_EQ(fs, c.fullscreen) << c.text;
        } else {
            EXPECT_EQ(w, -1) << c.text;  // outputs untouched
        }
    }
}

// parseOptions needs an engine for its fields; the engine starts headless.
class Options : public ::testing::Test {
protected:
    struct App : ZazOvadir {
        void renderWindow(AppWindow*) override {}
        void dispatchEvent(AppWindow*, GuiEvent&) override {}
    } app;

    bool parse(std::vector<const char*> args, std::vector<std::string>& left) {
        std::vector<char*> argv;
        for (const char* a : args)
            argv.push_back(const_cast<char*>(a));
        argv.push_back(nullptr);
        argv.push_back(nullptr);
        int argc = static_cast<int>(args.size());
        bool ok = app.parseOptions(argc, argv.data());
        left.clear();
        for (int i = 0; i < argc; ++i)
            left.push_back(argv[i]);
        if (ok) EXPECT_EQ(argv[argc], nullptr);
        return ok;
    }
};

TEST_F(Options, RemovesWhatItConsumes) {
    std::vector<std::string> left;
    ASSERT_TRUE(parse({"prog", "a", "--window-size", "640x480", "b"}, left));
    EXPECT_EQ(left, (std::vector<std::string>{"prog", "a", "b"}));
    EXPECT_EQ(app.requestedWidth, 640);
    EXPECT_EQ(app.requestedHeight, 480);
    EXPECT_FALSE(app.fullscreenRequested);
}

TEST_F(Options, FullscreenAndNoOptions) {
    std::vector<std::string> left;
    ASSERT_TRUE(parse({"prog", "--window-size", "fullscreen"}, left));
    EXPECT_TRUE(app.fullscreenRequested);
    EXPECT_EQ(left, (std::vector<std::string>{"prog"}));
    ASSERT_TRUE(parse({"prog"}, left));
    EXPECT_EQ(left, (std::vector<std::string>{"prog"}));
}

TEST_F(Options, Errors) {
    std::vector<std::string> left;
    EXPECT_FALSE(parse({"prog", "--window-size", "640x480", "--window-size", "800x600"}, left));
    EXPECT_FALSE(parse({"prog", "--window-size"}, left));
    EXPECT_FALSE(parse({"prog", "--window-size", "640*480"}, left));
}

}  // namespace
