// Text control costs: drawing a full view with and without the glyph cache, laying out a
// megabyte of German text, and appending a line to a long log. Run from the build's run
// directory (the font is read from data/fonts/Vera.ttf).
#include "core/Engine.h"
#include "core/Window.h"
#include "text/TextCtrl.h"

#include "support/GermanText.h"
#include "support/BenchApp.h"
#include "support/Headless.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>

namespace {

BenchApp& app() {
    return hiddenBenchApp(800, 300);
}

// Mixed German text: lines of 40 to 120 characters from a fixed word list, reproducible.
std::string germanText(size_t bytes) {
    static const char* words[] = {"Donau",  "Straße", "über", "Größe",  "Mädchen", "und",
                                  "der",    "die",    "das",  "Häuser", "schön",   "Käse",
                                  "Fluss",  "Wiese",  "grün", "Bäume",  "laufen",  "heißt",
                                  "Zürich", "Öl",     "Tür",  "Schiff", "fahren",  "mit"};
    std::mt19937 rng(42);
    std::string out;
    out.reserve(bytes + 200);
    while (out.size() < bytes) {
        const size_t target = 40 + rng() % 81;
        std::string line;
        while (line.size() < target) {
            if (!line.empty()) line += ' ';
            line += words[rng() % std::size(words)];
        }
        out += line;
        out += '\n';
    }
    return out;
}

std::unique_ptr<GuiTextCtrl> makeCtrl(int flags, int w, int h) {
    return std::make_unique<GuiTextCtrl>(nullptr, 1, 10, 10, w, h, SDL_Color{255, 255, 255, 255},
                                         app().getFtFace(), flags);
}

void drawView(benchmark::State& state, bool cached) {
    SDL_Renderer* r = app().mainWindow->sdlRenderer();
    auto t = makeCtrl(TEXT_MULTILINE, 620, 100);
    t->setText(germanText(4000));
    GuiTextCtrl::useGlyphCache = cached;
    for (auto _ : state) {
        t->draw(r);
        SDL_RenderFlush(r);
        TextureRetirement::advance(r);
    }
    GuiTextCtrl::useGlyphCache = true;
}

void BM_DrawView_Direct(benchmark::State& state) {
    drawView(state, false);
}
void BM_DrawView_Cached(benchmark::State& state) {
    drawView(state, true);
}

void BM_Layout1MB(benchmark::State& state) {
    const int flags = state.range(0) ? TEXT_MULTILINE | TEXT_WORDWRAP : TEXT_MULTILINE;
    const std::string text = germanText(1 << 20);
    auto t = makeCtrl(flags, 600, 400);
    for (auto _ : state) {
        t->setText(text);
        benchmark::DoNotOptimize(t->glyphCount());
        t->setText("");
    }
    state.counters["lines"] = double(std::count(text.begin(), text.end(), '\n'));
}

void BM_Layout1MB_Direct(benchmark::State& state) {
    GuiTextCtrl::useGlyphCache = false;
    BM_Layout1MB(state);
    GuiTextCtrl::useGlyphCache = true;
}

void BM_AppendLine(benchmark::State& state) {
    const int flags = TEXT_MULTILINE | TEXT_READONLY | (state.range(1) ? TEXT_WORDWRAP : 0);
    auto t = makeCtrl(flags, 620, 100);
    std::string log;
    for (int64_t i = 0; i < state.range(0); ++i)
        log += (i ? "\n" : "") + std::string("Button: button") + std::to_string(i % 7) +
               " und eine etwas längere Meldung, die im schmalen Feld umbricht";
    t->setText(log);
    int n = 0;
    for (auto _ : state)
        t->appendText("\nslider = " + std::to_string(++n));
}

// Setting a megabyte of 11,011 lines into an 800 x 600 editor and drawing it once.
void BM_SetAndFirstDraw1MB(benchmark::State& state) {
    const int flags = state.range(0) ? TEXT_MULTILINE | TEXT_WORDWRAP : TEXT_MULTILINE;
    SDL_Renderer* r = app().mainWindow->sdlRenderer();
    const std::string text = germanMegabyte();
    for (auto _ : state) {
        state.PauseTiming();
        auto t = makeCtrl(flags, 800, 600);
        state.ResumeTiming();
        t->setText(text);
        t->draw(r);
        SDL_RenderFlush(r);
        state.PauseTiming();
        t.reset();
        TextureRetirement::advance(r);
        state.ResumeTiming();
    }
}

// Appending a line to a long log in an 800 x 600 editor and drawing the result.
void BM_AppendLineAndDraw(benchmark::State& state) {
    const int flags = TEXT_MULTILINE | TEXT_READONLY | (state.range(1) ? TEXT_WORDWRAP : 0);
    SDL_Renderer* r = app().mainWindow->sdlRenderer();
    auto t = makeCtrl(flags, 800, 600);
    t->setText(germanLines(size_t(state.range(0)), size_t(state.range(0)) * 60));
    t->draw(r);
    int n = 0;
    for (auto _ : state) {
        t->appendText("\nslider = " + std::to_string(++n));
        t->draw(r);
        SDL_RenderFlush(r);
        TextureRetirement::advance(r);
    }
}

}  // namespace

BENCHMARK(BM_SetAndFirstDraw1MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendLineAndDraw)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawView_Direct)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawView_Cached)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Layout1MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Layout1MB_Direct)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AppendLine)
    ->Args({1000, 0})
    ->Args({100000, 0})
    ->Args({1000, 1})
    ->Args({100000, 1})
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    useHeadlessSdl(BenchRenderer::Software);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    app();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
