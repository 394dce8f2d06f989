// Appending to a text scrolled to its end and scrolling by wheel or keys move the view's pixels:
// the frame draws only the rows that come into view or change, the caret and the bars, and shows
// exactly what a full redraw shows (the damage verifier compares every frame).
#include "support/TestApp.h"
#include "text/TextCtrl.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr SDL_Rect kBox{10, 10, 360, 200};

struct ScrollCase {
    const char* name;
    std::function<void(TestApp&, AppWindow*, GuiTextCtrl*)> change;
};

void PrintTo(const ScrollCase& c, std::ostream* os) {
    *os << c.name;
}

SDL_Event wheel(AppWindow* w, int dx, int dy) {
    SDL_Event e = mouseWheel(w->windowId, kBox.x + 100, kBox.y + 100, dy);
    e.wheel.x = dx;
    return e;
}

const ScrollCase kChanges[] = {
    {"append a line",
     [](TestApp&, AppWindow*, GuiTextCtrl* t) { t->appendText("Angehängt: gjpqy ÄÖÜ Wasser\n"); }},
    {"append to the last line",
     [](TestApp& app, AppWindow*, GuiTextCtrl* t) {
         t->appendText("\nohne Umbruch ");
         app.runFor(50);
         // With word wrap long enough to break the row; without, short enough to stay in view.
         t->appendText(t->wordWrap ? "und weiter, bis die Zeile umbricht und noch etwas länger gjpq"
                                   : "und weiter gjpq");
     }},
    {"wheel up one notch",
     [](TestApp& app, AppWindow* w, GuiTextCtrl*) { route(app, wheel(w, 0, 1)); }},
    {"wheel up three notches, then down one",
     [](TestApp& app, AppWindow* w, GuiTextCtrl*) {
         route(app, wheel(w, 0, 3));
         route(app, wheel(w, 0, -1));
     }},
    {"wheel down one notch",
     [](TestApp& app, AppWindow* w, GuiTextCtrl*) {
         route(app, wheel(w, 0, 3));
         app.runFor(50);
         route(app, wheel(w, 0, -1));
     }},
    // Keys need the focus: only with the caret shown.
    {"ctrl and up scrolls a line",
     [](TestApp& app, AppWindow* w, GuiTextCtrl*) {
         route(app, keyEvent(SDL_KEYDOWN, w->windowId, SDLK_UP, KMOD_CTRL));
     }},
    {"down from the last row shown",
     [](TestApp& app, AppWindow* w, GuiTextCtrl* t) {
         route(app, wheel(w, 0, 3));
         const int bottom = kBox.y + kBox.h - 30;
         route(app, mouseButton(SDL_MOUSEBUTTONDOWN, w->windowId, kBox.x + 40, bottom));
         route(app, mouseButton(SDL_MOUSEBUTTONUP, w->windowId, kBox.x + 40, bottom));
         app.runFor(50);
         const int32_t scrolled = t->scrollY;
         route(app, keyEvent(SDL_KEYDOWN, w->windowId, SDLK_DOWN));
         ASSERT_GT(t->scrollY, scrolled);
     }},
    // Word wrap shows no part of a row sideways: only without it.
    {"wheel sideways",
     [](TestApp& app, AppWindow* w, GuiTextCtrl*) { route(app, wheel(w, -1, 0)); }},
};

std::vector<std::tuple<ScrollCase, uint32_t, bool>> scrollCases() {
    std::vector<std::tuple<ScrollCase, uint32_t, bool>> out;
    for (const ScrollCase& c : kChanges)
        for (uint32_t flags : {0u, uint32_t(TEXT_WORDWRAP)})
            for (bool caret : {false, true})
                if (!(flags && std::string(c.name) == "wheel sideways") &&
                    (caret || std::string(c.name).find("wheel") != std::string::npos ||
                     std::string(c.name).find("append") != std::string::npos))
                    out.emplace_back(c, flags, caret);
    return out;
}

class TextScroll : public ::testing::TestWithParam<std::tuple<ScrollCase, uint32_t, bool>> {};

TEST_P(TextScroll, OnlyWhatComesIntoViewOrChangesIsDrawnAndTheFrameIsAFullRedraws) {
    const auto& [c, flags, caret] = GetParam();
    TestApp app;
    AppWindow* w = app.openMain(400, 260);
    ASSERT_NE(w, nullptr);
    auto* t = new GuiTextCtrl(nullptr, 5, kBox.x, kBox.y, kBox.w, kBox.h, {255, 255, 255, 255},
                              app.getFtFace(), TEXT_MULTILINE | flags);
    w->root->addChild(t);
    std::string text;
    for (int i = 0; i < 40; ++i)
        // Capitals with accents reach above their row; kerned pairs beyond their cells, and
        // spaces put them at every place across the left edge after a sideways scroll.
        text += std::string(static_cast<size_t>(i % 9), ' ') + "AVAVAVAVAVAVAVAVAV Zeile " +
                std::to_string(i) + ": gjpqy ÀÉÊ fließt" +
                std::string(static_cast<size_t>(i % 7) * 9, 'w') + "\n";
    t->setText(text + "Letzte Zeile");
    app.clock.fix(10000);
    if (caret) {
        app.keyboardFocused = true;
        route(app, mouseButton(SDL_MOUSEBUTTONDOWN, w->windowId, kBox.x + 50, kBox.y + 50));
        route(app, mouseButton(SDL_MOUSEBUTTONUP, w->windowId, kBox.x + 50, kBox.y + 50));
    }
    t->appendText("\n");  // the view goes to the end
    app.runFor(100);
    if (caret) {
        // The caret away from the end: an append moves it there.
        route(app, mouseButton(SDL_MOUSEBUTTONDOWN, w->windowId, kBox.x + 30, kBox.y + 60));
        route(app, mouseButton(SDL_MOUSEBUTTONUP, w->windowId, kBox.x + 30, kBox.y + 60));
        app.runFor(300);  // the caret is shown: it blinks only a second after the click
        ASSERT_LT(t->cursor, t->codePointCount());
    }
    ASSERT_EQ(t->caretActive, caret);
    ASSERT_GT(t->scrollY, 0);

    c.change(app, w, t);
    // The middle of the view shows what it showed, moved: it is not drawn again.
    const SDL_Point middle{kBox.x + kBox.w / 2, kBox.y + kBox.h / 2};
    EXPECT_FALSE(w->root->fullDamage);
    for (const SDL_Rect& part : w->root->damageParts)
        EXPECT_FALSE(SDL_PointInRect(&middle, &part))
            << "damaged " << part.x << "," << part.y << " " << part.w << "x" << part.h;
    // A frame also when the change damaged nothing: the verifier then checks what stayed.
    app.scheduleRedraw();
    app.runFor(50);
    EXPECT_EQ(app.damageMismatches, 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextScroll, ::testing::ValuesIn(scrollCases()),
                         [](const auto& info) {
                             std::string name;
                             for (const char* p = std::get<0>(info.param).name; *p; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                             name += std::get<1>(info.param) ? "_wrap" : "_nowrap";
                             name += std::get<2>(info.param) ? "_caret" : "";
                             return name;
                         });

}  // namespace
