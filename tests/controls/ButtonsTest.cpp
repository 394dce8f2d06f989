// Buttons of every kind driven with real SDL events on a software-rendered window.
#include "controls/Buttons.h"

#include "ControlsFixture.h"

namespace {

constexpr SDL_Color kFace{192, 192, 192, 255};
constexpr SDL_Color kBlack{0, 0, 0, 255};
constexpr SDL_Color kWhite{255, 255, 255, 255};
constexpr SDL_Color kShadow{128, 128, 128, 255};
constexpr SDL_Color kPressed{192, 192, 192, 255};

using Buttons = ControlsTest;

TEST_F(Buttons, BevelFollowsTheFrameAndShadeCoordinates) {
    auto* b = add(new GuiButton(nullptr, 1, 20, 20, 100, 25, kFace, "", font, 0));
    // (x, y) is left out by the frame; the face is not filled, so the window shows through.
    struct Probe {
        SDL_Point p;
        SDL_Color up, down;
    } probes[] = {
        {{20, 20}, kWindowGrey, kWindowGrey}, {{21, 20}, kBlack, kBlack},
        {{120, 21}, kBlack, kBlack},          {{21, 45}, kBlack, kBlack},
        {{22, 22}, kWhite, kPressed},         {{23, 23}, kWhite, kPressed},
        {{117, 22}, kWhite, kPressed},        {{118, 22}, kShadow, kPressed},
        {{22, 43}, kShadow, kPressed},        {{23, 42}, kShadow, kPressed},
        {{60, 30}, kWindowGrey, kWindowGrey},
    };
    std::vector<SDL_Point> points;
    for (const Probe& pr : probes)
        points.push_back(pr.p);
    std::vector<SDL_Color> up = pixels(points);
    b->pressed = true;
    std::vector<SDL_Color> down = pixels(points);
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_TRUE(colorIs(up[i], probes[i].up))
            << "released " << points[i].x << "," << points[i].y;
        EXPECT_TRUE(colorIs(down[i], probes[i].down))
            << "pressed " << points[i].x << "," << points[i].y;
    }
}

TEST_F(Buttons, OpaqueColourDrawsFlatAndCaptionStillSinks) {
    const SDL_Color flat{150, 220, 160, 255};
    auto* b = add(new GuiButton(nullptr, 1, 20, 20, 100, 25, kFace, "Flach", font, 0));
    b->setBgColor(flat);
    auto px = pixels({{22, 22}, {118, 43}, {23, 42}, {119, 44}});
    EXPECT_TRUE(colorIs(px[0], flat));
    EXPECT_TRUE(colorIs(px[1], flat));
    EXPECT_TRUE(colorIs(px[2], flat));  // no shade line where the bevel would be
    EXPECT_TRUE(colorIs(px[3], kBlack));
    const SDL_Rect caption{30, 22, 80, 22};
    int upRow = firstInkRow(caption);
    b->pressed = true;
    int downRow = firstInkRow(caption);
    ASSERT_GE(upRow, 0);
    EXPECT_EQ(downRow, upRow + 1);
}

TEST_F(Buttons, ReleaseStrictlyInsideClicksOnceWithoutCallbacks) {
    auto* b = add(new GuiButton(nullptr, 42, 20, 20, 100, 25, kFace, "Knopf", font, 0));
    std::vector<bool> reports;
    b->addCallback([&](GuiButton*, bool on) { reports.push_back(on); });
    testing::internal::CaptureStdout();
    press(20, 20);  // the edge pixel is inside for the press
    EXPECT_TRUE(b->pressed);
    release(20, 30);  // left edge: no click
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "BUTTON DOWN\n");
    EXPECT_FALSE(b->pressed);
    EXPECT_EQ(commandsWithCode(CMD_ACTIVATED), 0u);
    press(60, 30);
    for (int i = 0; i < 3; ++i)
        b->update(SDL_GetTicks() + 5000);  // no repeat flag
    release(60, 30);
    ASSERT_EQ(commandsWithCode(CMD_ACTIVATED), 1u);
    EXPECT_EQ(app.commands.back().id, 42u);
    EXPECT_EQ(app.commands.back().source, b);
    EXPECT_EQ(reports, (std::vector<bool>{true, true}));  // presses only
}

TEST_F(Buttons, AutoRepeatStartsAfterDelayAndReleaseAddsNothing) {
    auto* b = add(new GuiButton(nullptr, 5001, 20, 20, 100, 25, kFace, "+", font, BUTTON_REPEAT));
    press(60, 30);
    const uint32_t t = b->pressTime;
    struct Step {
        uint32_t at;
        size_t total;
    } steps[] = {{399, 0}, {400, 1}, {459, 1}, {460, 2}, {519, 2}, {520, 3}, {1000, 4}};
    for (const Step& s : steps) {
        b->update(t + s.at);
        EXPECT_EQ(commandsWithCode(CMD_ACTIVATED), s.total) << "at +" << s.at;
    }
    release(60, 30);
    EXPECT_EQ(commandsWithCode(CMD_ACTIVATED), 4u);
}

TEST_F(Buttons, ToggleValueText) {
    auto* plain = add(new GuiButton(nullptr, 1, 20, 20, 100, 25, kFace, "P", font, 0));
    auto* toggle = add(new GuiButton(nullptr, 2, 20, 60, 100, 25, kFace, "T", font, BUTTON_TOGGLE));
    std::string v = "x";
    EXPECT_FALSE(plain->getValue(v));
    EXPECT_FALSE(plain->setValue("1"));
    int calls = 0;
    toggle->addCallback([&](GuiButton*, bool) { ++calls; });
    EXPECT_FALSE(toggle->setValue("an"));
    EXPECT_TRUE(toggle->setValue("true"));
    EXPECT_TRUE(toggle->setValue("1"));  // already on: no callback
    EXPECT_EQ(calls, 1);
    ASSERT_TRUE(toggle->getValue(v));
    EXPECT_EQ(v, "1");
    click(60, 70);  // toggles off on the press; the release changes nothing
    EXPECT_FALSE(toggle->pressed);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(commandsWithCode(CMD_ACTIVATED), 0u);
}

TEST_F(Buttons, CheckBoxBoxAndCross) {
    auto* cb = add(new GuiCheckBox(nullptr, 0, 20, 60, 128, 25, kFace, "Option", font));
    const std::vector<SDL_Point> pts = {{20, 60}, {35, 75}, {21, 61}, {22, 62},
                                        {27, 67}, {28, 68}, {24, 64}, {33, 63}};
    auto off = pixels(pts);
    click(30, 70);
    EXPECT_TRUE(cb->pressed);
    auto on = pixels(pts);
    for (int i : {0, 1, 2})
        EXPECT_TRUE(colorIs(off[i], kBlack)) << i;
    for (int i : {3, 4, 5, 6, 7})
        EXPECT_TRUE(colorIs(off[i], kWhite)) << i;
    // (27,67) and (24,64) lie on the falling strokes, (28,68) and (33,63) on the rising ones.
    for (int i : {4, 5, 6, 7})
        EXPECT_TRUE(colorIs(on[i], kBlack)) << i;
    std::string v;
    ASSERT_TRUE(cb->getValue(v));
    EXPECT_EQ(v, "1");
}

TEST_F(Buttons, RadioCircleIsDrawnPointByPoint) {
    auto* rb = add(new GuiRadioButton(nullptr, 0, 20, 60, 100, 25, kFace, "Radio", font));
    const int cx = 28, cy = 68;
    const std::vector<SDL_Point> pts = {{cx + 8, cy}, {cx + 7, cy},     {cx + 4, cy},
                                        {cx + 5, cy}, {cx + 6, cy + 6}, {cx + 5, cy + 5}};
    auto off = pixels(pts);
    rb->setValue("1");
    auto on = pixels(pts);
    EXPECT_TRUE(colorIs(off[0], kBlack));  // 64 <= 64
    EXPECT_TRUE(colorIs(off[1], kWhite));  // 49 <= 49
    EXPECT_TRUE(colorIs(off[2], kWhite));
    EXPECT_TRUE(colorIs(on[2], kBlack));  // 16 <= 16
    EXPECT_TRUE(colorIs(on[3], kWhite));
    EXPECT_TRUE(colorIs(on[4], kWindowGrey));  // 72 > 64: outside the circle
    EXPECT_TRUE(colorIs(on[5], kBlack));       // 50 > 49: in the ring
}

TEST_F(Buttons, GroupReleasesOthersAndACheckedRadioUnchecks) {
    auto* r1 = add(new GuiRadioButton(nullptr, 0, 20, 20, 100, 25, kFace, "1", font));
    auto* r2 = add(new GuiRadioButton(nullptr, 0, 20, 60, 100, 25, kFace, "2", font));
    auto group = std::make_unique<GuiButtonGroup>();
    group->add(r1);
    group->add(r2);
    click(25, 25);
    EXPECT_TRUE(r1->pressed);
    EXPECT_EQ(group->selected(), r1);
    click(25, 65);
    EXPECT_FALSE(r1->pressed);
    EXPECT_TRUE(r2->pressed);
    group.reset();  // the callbacks keep working without the group object
    click(25, 65);
    EXPECT_FALSE(r1->pressed);
    EXPECT_FALSE(r2->pressed);
    click(25, 25);
    EXPECT_TRUE(r1->pressed);
    EXPECT_FALSE(r2->pressed);
}

// Every change of state reaches the button's own listeners, also a switch-off by the group,
// and a released member's report does not release the button that was just switched on.
TEST_F(Buttons, GroupSwitchOffNotifiesTheReleasedMember) {
    struct Case {
        const char* kind;
        GuiButton* first;
        GuiButton* second;
    };
    auto* t1 = add(new GuiButton(nullptr, 0, 20, 20, 100, 25, kFace, "T1", font, BUTTON_TOGGLE));
    auto* t2 = add(new GuiButton(nullptr, 0, 140, 20, 100, 25, kFace, "T2", font, BUTTON_TOGGLE));
    auto* r1 = add(new GuiRadioButton(nullptr, 0, 20, 80, 100, 25, kFace, "R1", font));
    auto* r2 = add(new GuiRadioButton(nullptr, 0, 140, 80, 100, 25, kFace, "R2", font));
    for (const Case& c : {Case{"toggle", t1, t2}, Case{"radio", r1, r2}}) {
        SCOPED_TRACE(c.kind);
        // The listeners come first, as the demo's log does: a click reports the clicked
        // button before the group switches the other one off.
        std::vector<std::string> heard;
        for (GuiButton* b : {c.first, c.second})
            b->addCallback([&heard](GuiButton* b, bool on) {
                heard.push_back(b->label + (on ? " an" : " aus"));
            });
        GuiButtonGroup group;
        group.add(c.first);
        group.add(c.second);
        const std::string a = c.first->label, b = c.second->label;
        auto clickOn = [&](GuiButton* btn) { click(btn->x + 5, btn->y + 5); };
        clickOn(c.first);
        clickOn(c.second);  // switches the first off through the group
        clickOn(c.first);   // and back: the second goes off
        EXPECT_EQ(heard, (std::vector<std::string>{a + " an", b + " an", a + " aus", a + " an",
                                                   b + " aus"}));
        EXPECT_TRUE(c.first->pressed);
        EXPECT_FALSE(c.second->pressed);
        // select switches off with a report too; a member already off reports nothing.
        heard.clear();
        group.select(c.second);
        EXPECT_EQ(heard, (std::vector<std::string>{a + " aus"}));
        group.select(c.second);
        EXPECT_EQ(heard.size(), 1u);
    }
}

TEST_F(Buttons, ImageButtonShowsTheBuiltInIconAndSurvivesBadFiles) {
    auto* ib = add(new GuiImageButton(nullptr, 0, 20, 20, 56, 56, kFace, rec->sdlRenderer(), 0));
    EXPECT_EQ(ib->imageWidth, 48);
    EXPECT_EQ(ib->imageHeight, 48);
    EXPECT_TRUE(ib->imagePath.empty());
    // Box 48 x 48 at (24, 24): the icon at its own size, its red centre at the box centre.
    SDL_Color centre = pixel(24 + 24, 24 + 24);
    EXPECT_GT(centre.r, 200);
    EXPECT_LT(centre.g, 80);
    EXPECT_FALSE(ib->loadImage(rec->sdlRenderer(), "gibt/es/nicht.png"));
    EXPECT_EQ(ib->imageTexture(), nullptr);
    EXPECT_EQ(ib->imageWidth, 0);
    EXPECT_TRUE(colorIs(pixel(48, 48), kWindowGrey));
    std::string v;
    EXPECT_FALSE(ib->getValue(v));
}

}  // namespace
