// The diagnostic lines on standard output stay by default and go quiet with one engine setting.
#include "controls/Buttons.h"
#include "ControlsFixture.h"
#include "text/TextCtrl.h"

namespace {

class Diagnostics : public ControlsTest {};

TEST_F(Diagnostics, OnByDefaultAndSilencedByTheEngineSetting) {
    for (bool on : {true, false}) {
        app.diagnostics = on;
        testing::internal::CaptureStdout();
        auto* b =
            add(new GuiButton(nullptr, 1, 20, 20, 100, 25, {192, 192, 192, 255}, "Taste", font, 0));
        add(new GuiTextCtrl(nullptr, 2, 20, 60, 200, 30, {255, 255, 255, 255}, app.getFtFace(), 0));
        press(b->x + 10, b->y + 10);
        release(b->x + 10, b->y + 10);
        std::fflush(stdout);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(out.find("BUTTON DOWN\n") != std::string::npos, on) << out;
        EXPECT_EQ(out.find("Charmap 0: ") != std::string::npos, on) << out;
        if (!on) EXPECT_EQ(out, "");
    }
}

}  // namespace
