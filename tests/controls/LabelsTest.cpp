// Labels with start ellipsis, panels as containers, the status bar's panes.
#include "controls/Buttons.h"
#include "controls/Labels.h"

#include "ControlsFixture.h"

#include <tuple>

namespace {

const std::string kEllipsis = "\xE2\x80\xA6";

using Labels = ControlsTest;

int textWidth(TTF_Font* font, const std::string& s) {
    int w = 0, h = 0;
    TTF_SizeUTF8(font, s.c_str(), &w, &h);
    return w;
}

TEST_F(Labels, EllipsisCases) {
    const std::string path = "/home/anna/dokumente/bericht.txt";
    const std::string umlauts = "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\xA4\xC3\xB6\xC3\xBC";  // äöüäöü
    struct Case {
        std::string text;
        int width;
        std::string expected;
    } cases[] = {
        {"kurz", textWidth(font, "kurz"), "kurz"},  // fits exactly: unchanged
        {path, textWidth(font, kEllipsis + "/bericht.txt") + 3, kEllipsis + "/bericht.txt"},
        {"C:\\daten\\bild.png", textWidth(font, kEllipsis + "\\bild.png") + 1,
         kEllipsis + "\\bild.png"},
        {"x", 1, kEllipsis},         // one byte that does not fit
        {"\xC3\x96", 1, kEllipsis},  // one two-byte character
        {"abcdef", 1, kEllipsis},    // nothing fits
        {"endet/", textWidth(font, kEllipsis + "et/"), kEllipsis + "et/"},  // separator last
        {umlauts, textWidth(font, kEllipsis + "\xC3\xB6\xC3\xBC"), kEllipsis + "\xC3\xB6\xC3\xBC"},
    };
    for (const Case& c : cases) {
        GuiLabel label(nullptr, -1, 0, 0, c.width, 20, {0, 0, 0, 255}, c.text, font,
                       LABEL_ELLIPSIS_START);
        EXPECT_EQ(label.displayText(), c.expected) << c.text << " in " << c.width;
    }
}

TEST_F(Labels, ShorteningNeverStartsInsideACharacter) {
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += "\xE2\x82\xAC";  // €, three bytes each
    for (int width = 1; width < textWidth(font, text); width += 7) {
        GuiLabel label(nullptr, -1, 0, 0, width, 20, {0, 0, 0, 255}, text, font,
                       LABEL_ELLIPSIS_START);
        const std::string shown = label.displayText();
        ASSERT_EQ(shown.compare(0, 3, kEllipsis), 0);
        EXPECT_EQ((shown.size() - 3) % 3, 0u) << "width " << width;
        EXPECT_LE(shown.size() == 3 ? 0 : textWidth(font, shown), width);
    }
}

TEST_F(Labels, LongTextsAreShortenedLikeShortOnes) {
    std::string longPath;
    for (int i = 0; i < 4000; ++i)
        longPath += "/ordner" + std::to_string(i);
    longPath += "/ende.txt";
    const int width = textWidth(font, kEllipsis + "/ende.txt") + 2;
    GuiLabel label(nullptr, -1, 0, 0, width, 20, {0, 0, 0, 255}, longPath, font,
                   LABEL_ELLIPSIS_START);
    EXPECT_EQ(label.displayText(), kEllipsis + "/ende.txt");
    // The widest tail that fits, whichever way the starts are searched.
    std::string tail = std::string(300, 'x') + "yz";
    GuiLabel wide(nullptr, -1, 0, 0, textWidth(font, kEllipsis + "xyz"), 20, {0, 0, 0, 255}, tail,
                  font, LABEL_ELLIPSIS_START);
    EXPECT_EQ(wide.displayText(), kEllipsis + "xyz");
}

TEST_F(Labels, DisplayTextIsCachedPerTextAndWidth) {
    auto* label = add(new GuiLabel(nullptr, -1, 10, 10, 40, 20, {0, 0, 0, 255},
                                   "/ein/ziemlich/langer/pfad", font, LABEL_ELLIPSIS_START));
    pixels({});
    pixels({});
    EXPECT_EQ(label->measureRuns(), 1);
    label->width = 80;
    const std::string wider = label->displayText();
    EXPECT_EQ(label->measureRuns(), 2);
    EXPECT_LE(textWidth(font, wider), 80);
    label->setValue("/anders");
    label->displayText();
    EXPECT_EQ(label->measureRuns(), 3);
    GuiLabel plain(nullptr, -1, 0, 0, 5, 20, {0, 0, 0, 255}, "viel zu lang", font);
    EXPECT_EQ(plain.displayText(), "viel zu lang");  // no flag: never shortened
}

TEST_F(Labels, LabelTextIsPlacedAsAligned) {
    add(new GuiLabel(nullptr, -1, 10, 10, 200, 30, {0, 255, 0, 255}, "Links", font, LABEL_LEFT));
    add(new GuiLabel(nullptr, -1, 10, 50, 200, 30, {0, 255, 0, 255}, "Mitte", font));
    // No background: the window shows around the text.
    EXPECT_TRUE(colorIs(pixel(205, 12), kWindowGrey));
    // The ink, searched well beyond each label: "Links" starts at the left edge (plus the first
    // glyph's bearing), "Mitte" is centred on the label; both sit in their label's middle rows.
    const SDL_Rect left = inkBox({0, 0, 320, 45});
    const SDL_Rect centred = inkBox({0, 45, 320, 45});
    ASSERT_GT(left.w, 0);
    ASSERT_GT(centred.w, 0);
    EXPECT_NEAR(left.x, 10, 1);
    EXPECT_NEAR(centred.x + centred.w / 2.0, 10 + 200 / 2, 1);
    EXPECT_NEAR(left.y + left.h / 2.0, 10 + 30 / 2, 3);
    EXPECT_NEAR(centred.y + centred.h / 2.0, 50 + 30 / 2, 3);
}

TEST_F(Labels, StatusBarPaneWidths) {
    struct Case {
        int width;
        std::vector<int> panes;
        std::vector<int> actual;
        std::vector<int> offsets;
    } cases[] = {
        {250, {100, -1, -1}, {100, 75, 75}, {0, 100, 175}},
        {251, {100, -1, -1}, {100, 75, 76}, {0, 100, 175}},
        {100, {80, 50, -1}, {80, 50, 0}, {0, 80, 130}},
        {300, {-1, 200}, {100, 200}, {0, 100}},
        {90, {}, {}, {}},
    };
    for (const Case& c : cases) {
        GuiStatusBar bar(nullptr, -1, {240, 240, 240, 255}, font);
        bar.width = c.width;
        bar.setPanes(c.panes);
        ASSERT_EQ(bar.panes.size(), c.actual.size());
        for (size_t i = 0; i < c.actual.size(); ++i) {
            EXPECT_EQ(bar.panes[i].actualWidth, c.actual[i]) << c.width << " pane " << i;
            EXPECT_EQ(bar.panes[i].paneX, c.offsets[i]) << c.width << " pane " << i;
        }
    }
}

TEST_F(Labels, StatusBarTextsAndDrawing) {
    auto* bar = add(new GuiStatusBar(nullptr, -1, {240, 240, 240, 255}, font));
    EXPECT_EQ(bar->width, 320);  // takes its window's width
    bar->y = 200;
    bar->setPanes({-1, 120});
    bar->setText("Bereit", 0);
    bar->setText("nie", 2);  // index equal to the count: ignored
    EXPECT_EQ(bar->getText(0), "Bereit");
    EXPECT_EQ(bar->getText(2), "");
    EXPECT_EQ(bar->getText(-1), "");
    const int sx = 200 - 1;
    auto px =
        pixels({{0, 200}, {319, 200}, {sx, 202}, {sx, 203}, {sx, 219}, {sx, 220}, {250, 210}});
    EXPECT_TRUE(colorIs(px[0], {0, 0, 0, 255}));
    EXPECT_TRUE(colorIs(px[1], {0, 0, 0, 255}));
    EXPECT_TRUE(colorIs(px[2], {240, 240, 240, 255}));
    EXPECT_TRUE(colorIs(px[3], {160, 160, 160, 255}));
    EXPECT_TRUE(colorIs(px[4], {160, 160, 160, 255}));
    EXPECT_TRUE(colorIs(px[5], {240, 240, 240, 255}));
    EXPECT_TRUE(colorIs(px[6], {240, 240, 240, 255}));
    const SDL_Rect bereit = inkBox({0, 201, 199, 21});  // the first pane, below the top line
    EXPECT_NEAR(bereit.x, 6, 1);                        // 6 pixels into its pane
    EXPECT_NEAR(bereit.y + bereit.h / 2.0, 200 + 22 / 2, 3);
    bar->setPaneCount(3);
    EXPECT_EQ(bar->panes.size(), 3u);
    EXPECT_EQ(bar->getText(0), "Bereit");
    root->resize(rec->sdlRenderer(), 400, 300);
    EXPECT_EQ(bar->y, 300 - 22);  // kept at the bottom
    EXPECT_EQ(bar->width, 400);
}

TEST_F(Labels, PanelFrameAndSizerArea) {
    const SDL_Color back{230, 230, 230, 255};
    auto* titled = add(new GuiPanel(nullptr, -1, 10, 10, 200, 80, back, "Rahmen", font));
    auto* bare = add(new GuiPanel(nullptr, -1, 10, 100, 200, 80, back, "", font));
    auto* a = new GuiButton(nullptr, 0, 0, 0, 50, 20, back, "A", font, 0);
    auto* b = new GuiButton(nullptr, 0, 0, 0, 50, 20, back, "B", font, 0);
    titled->addChild(a);
    bare->addChild(b);
    for (auto [panel, button, border] : {std::tuple{titled, a, 5}, std::tuple{bare, b, 0}}) {
        auto* column = new GuiBoxSizer(1, 0);
        column->add(button, 1, SIZER_EXPAND | SIZER_LEFT | SIZER_RIGHT | SIZER_TOP | SIZER_BOTTOM,
                    border);
        panel->setSizer(column);
    }
    const int fh = TTF_FontHeight(font);
    EXPECT_EQ(titled->contentTop(), 10 + fh + 4);
    EXPECT_EQ(a->y, 10 + fh + 4 + 5);
    EXPECT_EQ(a->height, 80 - fh - 4 - 10);
    EXPECT_EQ(b->y, 100);
    EXPECT_EQ(b->height, 80);
    const int ly = 10 + fh / 2;
    const SDL_Color frame{120, 120, 120, 255};
    auto px = pixels({{10, ly}, {209, 50}, {100, 89}, {14, ly}, {150, ly}, {10, 10}, {10, 100}});
    EXPECT_TRUE(colorIs(px[0], frame));
    EXPECT_TRUE(colorIs(px[1], frame));
    EXPECT_TRUE(colorIs(px[2], frame));
    EXPECT_TRUE(colorIs(px[3], back));  // the title cuts the frame line
    EXPECT_TRUE(colorIs(px[4], frame));
    EXPECT_TRUE(colorIs(px[5], back));  // above the frame line
    EXPECT_TRUE(colorIs(px[6], back));  // no frame without a title
}

TEST_F(Labels, PanelRoutesToItsChildren) {
    auto* panel = add(new GuiPanel(nullptr, -1, 50, 50, 200, 100, {230, 230, 230, 255}, "", font));
    auto* probe = new ProbeWidget(10, 10, 40, 30);  // window (60, 60)
    panel->addChild(probe);
    probe->setName("innen");
    auto* button = new GuiButton(nullptr, 77, 100, 10, 60, 25, {192, 192, 192, 255}, "K", font, 0);
    panel->addChild(button);
    EXPECT_EQ(root->findByName("innen"), probe);
    EXPECT_EQ(root->hitTest(70, 70), probe);
    EXPECT_EQ(root->hitTest(55, 55), panel);
    moveTo(70, 70);
    EXPECT_EQ(probe->enters, 1);
    EXPECT_EQ(panel->hover(), probe);
    moveTo(200, 130);  // inside the panel, on no child
    EXPECT_EQ(probe->leaves, 1);
    EXPECT_EQ(panel->hover(), nullptr);
    press(65, 65);
    EXPECT_EQ(root->focus, probe);
    EXPECT_EQ(panel->capture(), probe);
    moveTo(300, 200);  // outside everything: still delivered to the captured child
    release(300, 200);
    ASSERT_GE(probe->types.size(), 3u);
    EXPECT_EQ(probe->types.back(), SDL_MOUSEBUTTONUP);
    EXPECT_EQ(probe->locals.back().x, 240);
    click(170, 70);
    ASSERT_EQ(commandsWithCode(CMD_ACTIVATED), 1u);
    EXPECT_EQ(app.commands.back().source, button);
    panel->setGeometry(10, 20, 200, 100);  // moved by (-40, -30): the children follow
    EXPECT_EQ(probe->x, 20);
    EXPECT_EQ(probe->y, 30);
    EXPECT_EQ(button->x, 110);
}

TEST_F(Labels, PanelFilledBeforeAttachingGetsItsWindow) {
    auto* panel = new GuiPanel(nullptr, -1, 30, 40, 200, 100, {230, 230, 230, 255}, "", font);
    auto* button = new GuiButton(nullptr, 9, 10, 10, 60, 25, {192, 192, 192, 255}, "K", font, 0);
    panel->addChild(button);
    EXPECT_EQ(button->window, nullptr);
    add(panel);
    EXPECT_EQ(button->window, root);
    EXPECT_EQ(button->x, 40);
    click(60, 60);
    EXPECT_EQ(commandsWithCode(CMD_ACTIVATED), 1u);
}

TEST_F(Labels, ChildDestroyedDuringItsEventLeavesThePanel) {
    auto* panel = add(new GuiPanel(nullptr, -1, 0, 0, 200, 100, {230, 230, 230, 255}, "", font));
    auto* probe = new ProbeWidget(10, 10, 40, 30);
    panel->addChild(probe);
    probe->onEvent = [](ProbeWidget* self, GuiEvent&) { self->destroy(); };
    press(20, 20);  // deleted once, after the event, by the window
    EXPECT_TRUE(panel->children().empty());
    EXPECT_EQ(panel->capture(), nullptr);
    EXPECT_EQ(root->focus, nullptr);
    release(20, 20);
    EXPECT_EQ(root->hitTest(20, 20), panel);
}

}  // namespace
