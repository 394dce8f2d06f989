// Containers at application sizes: one wheel step of a scrolled panel holding many buttons and
// the redraw it causes, and a notebook page switch with its redraw. Headless, on the software
// renderer; the drawing is flushed inside the timing.
#include "controls/Buttons.h"
#include "controls/Containers.h"
#include "controls/ValueControls.h"
#include "core/Engine.h"
#include "core/Window.h"

#include "support/BenchApp.h"
#include "support/Headless.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

constexpr SDL_Color kGrey{192, 192, 192, 255};
constexpr SDL_Color kWhite{255, 255, 255, 255};

BenchApp* app = nullptr;
AppWindow* window = nullptr;

SDL_Renderer* renderer() {
    return window->sdlRenderer();
}

void drawNow(GuiObject& obj) {
    obj.draw(renderer());
    SDL_RenderFlush(renderer());
}

void wheel(GuiObject& target, int x, int y, int steps) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = steps;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    e.wheel.mouseX = x;
    e.wheel.mouseY = y;
    GuiEvent ge = GuiEvent::makeInput(0, &e);
    target.handleEvent(ge);
}

// The demo's scrolled panel with `rows` buttons in a column sizer instead of ten.
GuiScrolledPanel* makeScrolled(int rows) {
    auto* panel = new GuiScrolledPanel(nullptr, -1, 310, 645, 280, 150, kWhite);
    window->root->addChild(panel);
    auto* column = new GuiBoxSizer(1, 4);
    for (int i = 0; i < rows; ++i) {
        auto* b = new GuiButton(nullptr, 0, 0, 0, 254, 25, kGrey, "Eintrag " + std::to_string(i),
                                app->getDefaultFont(), 0);
        panel->addChild(b);
        column->add(b, 0, SIZER_LEFT | SIZER_RIGHT | SIZER_TOP | SIZER_BOTTOM, 4);
    }
    panel->setSizer(column);
    return panel;
}

void removeFromWindow(GuiObject* obj) {
    obj->destroy();
    window->root->runPendingDeletes();
    for (int i = 0; i < 3; ++i)
        TextureRetirement::advance(renderer());
}

// One wheel notch (40 pixels) and the redraw, alternating down and up in the middle.
void BM_ScrolledWheelStep(benchmark::State& state) {
    GuiScrolledPanel* panel = makeScrolled(static_cast<int>(state.range(0)));
    panel->scrollTo(0, panel->virtualHeight / 2);
    drawNow(*panel);
    int direction = 1;
    for (auto _ : state) {
        wheel(*panel, panel->x + 270, panel->y + 10, direction);  // over the bar
        drawNow(*panel);
        direction = -direction;
    }
    removeFromWindow(panel);
}

// A notebook like the demo's: six pages, switched back and forth and redrawn.
void BM_NotebookPageSwitch(benchmark::State& state) {
    TTF_Font* font = app->getDefaultFont();
    auto* book = new GuiNotebook(nullptr, -1, 610, 207, 620, 150, kWhite, font);
    window->root->addChild(book);
    const char* titles[] = {"Allgemein", "Erweitert", "Info", "Eingabe", "Sizer", "Splitter"};
    for (const char* title : titles) {
        GuiPanel* page = book->addPage(title, title);
        for (int i = 0; i < 6; ++i)
            page->addChild(new GuiButton(nullptr, 0, 10 + 100 * i, 10, 90, 25, kGrey,
                                         "Zelle " + std::to_string(i), font, 0));
        page->addChild(new GuiSlider(nullptr, 2002, 10, 50, 200, 24, {200, 200, 200, 255},
                                     {150, 150, 150, 255}, {80, 180, 80, 255}, 0, 100, 50, 0));
    }
    for (int i = 0; i < 6; ++i) {  // every title and caption rendered once
        book->setCurrentPage(i);
        drawNow(*book);
    }
    int next = 0;
    for (auto _ : state) {
        book->setCurrentPage(next);
        drawNow(*book);
        next = (next + 1) % 6;
    }
    removeFromWindow(book);
}

BENCHMARK(BM_ScrolledWheelStep)->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NotebookPageSwitch)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    useHeadlessSdl(BenchRenderer::Software);
    benchmark::Initialize(&argc, argv);
    BenchApp engine;
    app = &engine;
    window = engine.createMainWindow("Bench", 0, 0, 1900, 960, SDL_WINDOW_HIDDEN,
                                     SDL_Color{200, 200, 200, 255});
    if (!window || !engine.getDefaultFont()) {
        std::fprintf(stderr, "no window or no font (run from the build's run directory)\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
