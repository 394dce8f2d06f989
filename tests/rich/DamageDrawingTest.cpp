// Drawing only what changed shows exactly what a full redraw shows. One scripted run of real
// SDL events (hover, a tooltip that follows the pointer, typing, caret blink, wheel scroll, a combo
// drop-down over widgets that change by themselves, a frame-rate-limited cairo panel) is played
// once drawing everything and once drawing only the damage; every presented frame is compared pixel
// for pixel, on the software renderer and on OpenGL (which draws through a back buffer).
#include "controls/Buttons.h"
#include "controls/ListCtrl.h"
#include "controls/Menus.h"
#include "rich/Panels.h"
#include "support/TestApp.h"
#include "text/TextCtrl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kW = 400, kH = 260;

// A widget that changes colour by itself every period ms (as a caret or an animation does).
class Blinker : public GuiObject, public ITimed {
public:
    Blinker(int x, int y, int w, int h, uint32_t period)
        : GuiObject(nullptr, 0, x, y, w, h, {200, 30, 30, 255}), period(period) {}
    void handleEvent(GuiEvent&) override {}
    void update(uint32_t now) override {
        if (last == 0) last = now;
        if (msUntilDue(now) > 0) return;
        last = now;
        on = !on;
        bgColor = on ? SDL_Color{30, 30, 200, 255} : SDL_Color{200, 30, 30, 255};
        invalidate();
    }
    uint32_t msUntilDue(uint32_t now) override { return msUntil(last + period, now); }
    uint32_t period;
    uint32_t last = 0;
    bool on = false;
};

struct Shown {
    uint32_t at;
    std::vector<uint32_t> pixels;
};

struct Played {
    std::vector<Shown> frames;
    int blinks = 0;
    int uploads = 0;
    size_t menusOpen = 0;  // menu and submenu at their widest
    bool software = true;
};

std::vector<uint32_t> readWindow(SDL_Renderer* r) {
    std::vector<uint32_t> px(static_cast<size_t>(kW) * kH);
    SDL_Rect all{0, 0, kW, kH};
    EXPECT_EQ(SDL_RenderReadPixels(r, &all, SDL_PIXELFORMAT_ARGB8888, px.data(), kW * 4), 0);
    return px;
}

Played play(bool damageOnly, bool openGl) {
    Played run;
    TestApp app;
    // After the engine started: shutting SDL down clears the hint.
    if (openGl) useOpenGlRenderer();
    app.drawDamageOnly = damageOnly;
    AppWindow* rec = app.openMain(kW, kH, {210, 210, 210, 255});
    if (!rec) return run;
    SDL_RendererInfo info;
    SDL_GetRendererInfo(rec->sdlRenderer(), &info);
    run.software = (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    GuiWindow* root = rec->root.get();
    TTF_Font* font = app.getDefaultFont();
    const uint32_t id = rec->windowId;

    auto* button =
        new GuiButton(nullptr, 1, 10, 10, 80, 24, {190, 190, 190, 255}, "Taste", font, 0);
    button->setTooltip("Ein Hinweis, der über andere Felder reicht");
    root->addChild(button);
    root->addChild(
        new GuiTextCtrl(nullptr, 2, 10, 50, 200, 26, {255, 255, 255, 255}, app.getFtFace(), 0));
    auto* list = new GuiListCtrl(nullptr, 3, 230, 10, 160, 120, {255, 255, 255, 255}, font);
    for (uint32_t i = 0; i < 200; ++i)
        list->addItem(i, "Zeile " + std::to_string(i));
    root->addChild(list);
    // A button over the list's corner and a blinker over its other end: the blinker's change
    // redraws the list, so the button, which the blinker does not touch, must be redrawn too.
    root->addChild(
        new GuiButton(nullptr, 6, 235, 15, 60, 22, {170, 200, 170, 255}, "Oben", font, 0));
    root->addChild(new Blinker(330, 100, 30, 30, 190));
    auto* combo = new GuiComboBox(nullptr, 4, 10, 90, 150, 24, {255, 255, 255, 255}, {0, 0, 0, 255},
                                  font, 110);
    for (uint32_t i = 0; i < 8; ++i)
        combo->addItem(i, "Wahl " + std::to_string(i));
    root->addChild(combo);
    auto* underTooltip = new Blinker(110, 36, 24, 24, 170);
    auto* underDropDown = new Blinker(40, 150, 40, 40, 230);
    root->addChild(underTooltip);
    root->addChild(underDropDown);
    auto* cairo =
        new GuiCairoPanel(nullptr, 5, 240, 160, 120, 80, {255, 255, 255, 255}, rec->sdlRenderer());
    cairo->setMaxFps(5);
    root->addChild(cairo);
    auto paint = [cairo](double shade) {
        cairo_set_source_rgb(cairo->cr(), shade, 0.5, 1 - shade);
        cairo_rectangle(cairo->cr(), 10, 10, 60 * shade + 20, 40);
        cairo_fill(cairo->cr());
        cairo->markDirty();
    };
    paint(0.2);

    // A menu bar on top: its menu and submenu open over the other widgets.
    auto* bar = new GuiMenuBar(nullptr, -1, {192, 192, 192, 255}, "Leiste", font);
    root->addChild(bar);
    auto* menu = new GuiMenu(nullptr, -1, 0, 0, 160, 0, {255, 255, 255, 255}, "datei", font);
    menu->setKeepAlive(true);
    menu->addItem(10, "Neu");
    menu->addItem(11, "Öffnen");
    menu->addItem(0, "Zuletzt", true, [](GuiMenu* sub) {
        sub->items.clear();
        sub->addItem(12, "Eins");
        sub->addItem(13, "Zwei");
    });
    bar->addMenu("Datei", std::unique_ptr<GuiMenu>(menu));

    app.beforePresent = [&](AppWindow* w) {
        run.frames.push_back({app.ticks(), readWindow(w->sdlRenderer())});
    };
    app.clock.fix(50000);
    auto send = [&](SDL_Event e) {
        SDL_PushEvent(&e);
        app.runFor(1);
    };
    auto type = [&](const char* text) { send(textInput(id, text)); };

    app.runFor(50);
    send(mouseMotion(id, 50, 20));  // hover, then the tooltip over the first blinker
    app.runFor(900);
    send(mouseMotion(id, 58, 26));  // the tooltip follows the pointer: its old place shows again
    app.runFor(20);
    send(mouseButton(SDL_MOUSEBUTTONDOWN, id, 50, 60));  // into the text field
    send(mouseButton(SDL_MOUSEBUTTONUP, id, 50, 60));
    type("Hallo");
    type(" Welt");
    app.addTimer(30, [&] { paint(0.7); });  // within the panel's interval: held back
    app.runFor(1300);                       // caret, blinkers, the held-back upload
    send(mouseWheel(id, 300, 60, -3));
    app.runFor(300);
    send(mouseButton(SDL_MOUSEBUTTONDOWN, id, 80, 100));  // the drop-down over the second blinker
    send(mouseButton(SDL_MOUSEBUTTONUP, id, 80, 100));
    app.runFor(700);
    send(mouseMotion(id, 60, 160));
    app.runFor(500);
    send(mouseButton(SDL_MOUSEBUTTONDOWN, id, 60, 160));
    send(mouseButton(SDL_MOUSEBUTTONUP, id, 60, 160));
    app.runFor(600);
    // The menu: opened, its rows hovered, the submenu opened and left, all closed by a click
    // outside; each popup's place shows what lies under it again.
    send(mouseButton(SDL_MOUSEBUTTONDOWN, id, 15, 5));
    send(mouseButton(SDL_MOUSEBUTTONUP, id, 15, 5));
    app.runFor(100);
    const int row = menu->rowHeight();
    send(mouseMotion(id, menu->x + 20, menu->y + row / 2));
    app.runFor(50);
    send(mouseMotion(id, menu->x + 20, menu->y + 2 * row + row / 2));  // opens the submenu
    app.runFor(300);
    run.menusOpen = root->popupStack().size();
    send(mouseMotion(id, menu->x + 20, menu->y + row + row / 2));  // closes it again
    app.runFor(300);
    send(mouseButton(SDL_MOUSEBUTTONDOWN, id, 300, 240));
    send(mouseButton(SDL_MOUSEBUTTONUP, id, 300, 240));
    app.runFor(300);
    run.blinks = underTooltip->on + underDropDown->on;
    run.uploads = cairo->uploads();
    app.beforePresent = nullptr;
    if (openGl) SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "software", SDL_HINT_OVERRIDE);
    return run;
}

void expectSameFrames(const Played& full, const Played& damage) {
    ASSERT_EQ(full.frames.size(), damage.frames.size());
    ASSERT_GT(full.frames.size(), 20u);
    for (size_t i = 0; i < full.frames.size(); ++i) {
        EXPECT_EQ(full.frames[i].at, damage.frames[i].at) << "frame " << i;
        const auto& a = full.frames[i].pixels;
        const auto& b = damage.frames[i].pixels;
        size_t differing = 0, first = a.size();
        for (size_t p = 0; p < a.size(); ++p)
            if (a[p] != b[p]) {
                if (first == a.size()) first = p;
                ++differing;
            }
        EXPECT_EQ(differing, 0u) << "frame " << i << " at " << full.frames[i].at << ": first at x "
                                 << first % kW << ", y " << first / kW;
        if (differing) return;
    }
}

TEST(DamageDrawing, SoftwareRendererShowsTheFullRedrawsPixelsEveryFrame) {
    Played full = play(false, false);
    Played damage = play(true, false);
    ASSERT_TRUE(damage.software);
    EXPECT_GE(full.uploads, 3);  // the first, the second painting, the held-back third
    EXPECT_EQ(damage.menusOpen, 2u);
    expectSameFrames(full, damage);
}

TEST(DamageDrawing, OpenGlRendererShowsTheFullRedrawsPixelsEveryFrame) {
    Played full = play(false, true);
    Played damage = play(true, true);
    if (damage.software)
        GTEST_SKIP() << "NO OPENGL RENDERER in this environment: the back-buffer path is NOT "
                        "TESTED here";
    ASSERT_FALSE(full.software);
    expectSameFrames(full, damage);
}

}  // namespace
