// HTML box costs on a generated megabyte of markup (headings, paragraphs with bold, italic and
// links, lists, a few tables): parse and layout, the first draw, one wheel step with its
// redraw, and the memory the document takes. Run from the build's run directory (the font
// is read from data/fonts/Vera.ttf).
#include "core/Engine.h"
#include "core/Window.h"
#include "rich/HtmlBox.h"

#include "support/BenchApp.h"
#include "support/Headless.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace {

BenchApp& app() {
    return hiddenBenchApp(800, 300);
}

SDL_Renderer* renderer() {
    return app().mainWindow->sdlRenderer();
}

// A reproducible document of about `bytes` bytes.
std::string megabyteDocument(size_t bytes) {
    static const char* words[] = {"Donau", "Straße", "über",   "Größe",  "Mädchen", "und",
                                  "der",   "die",    "das",    "Häuser", "schön",   "Käse",
                                  "Fluss", "Wiese",  "grün",   "Bäume",  "laufen",  "heißt",
                                  "Tür",   "Schiff", "fahren", "mit",    "Zürich",  "Öl"};
    std::mt19937 rng(7);
    auto word = [&] { return std::string(words[rng() % std::size(words)]); };
    auto sentence = [&](int n) {
        std::string s;
        for (int i = 0; i < n; ++i) {
            if (i) s += ' ';
            switch (rng() % 12) {
                case 0:
                    s += "<b>" + word() + "</b>";
                    break;
                case 1:
                    s += "<i>" + word() + "</i>";
                    break;
                case 2:
                    s += "<a href=\"https://example.com/" + std::to_string(rng() % 1000) + "\">" +
                         word() + "</a>";
                    break;
                default:
                    s += word();
            }
        }
        return s + ".";
    };
    std::string out;
    out.reserve(bytes + 4096);
    int section = 0;
    while (out.size() < bytes) {
        out += "<h" + std::to_string(1 + section % 3) + ">Abschnitt " + std::to_string(section) +
               "</h" + std::to_string(1 + section % 3) + ">";
        for (int p = 0; p < 6; ++p)
            out += "<p>" + sentence(30 + rng() % 40) + "</p>";
        out += section % 2 ? "<ol>" : "<ul>";
        for (int i = 0; i < 4; ++i)
            out += "<li>" + sentence(5 + rng() % 10) + "</li>";
        out += section % 2 ? "</ol>" : "</ul>";
        if (section % 10 == 0) {
            out += "<table border=\"1\" cellpadding=\"4\">";
            for (int r = 0; r < 4; ++r) {
                out += "<tr>";
                for (int c = 0; c < 3; ++c)
                    out += "<td>" + word() + " " + word() + "</td>";
                out += "</tr>";
            }
            out += "</table>";
        }
        ++section;
    }
    return out;
}

const std::string& document() {
    static const std::string doc = megabyteDocument(1 << 20);
    return doc;
}

std::unique_ptr<GuiHtmlBox> makeBox() {
    return std::make_unique<GuiHtmlBox>(nullptr, -1, 10, 10, 640, 259,
                                        SDL_Color{255, 255, 255, 255}, renderer());
}

void drawFrame(GuiHtmlBox& box) {
    box.draw(renderer());
    SDL_RenderFlush(renderer());
    TextureRetirement::advance(renderer());
}

long statusKiB(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const size_t n = std::strlen(field);
    while (std::getline(in, line))
        if (line.compare(0, n, field) == 0) return std::stol(line.substr(n + 1));
    return -1;
}

void BM_SetHtml_1MB(benchmark::State& state) {
    auto box = makeBox();
    for (auto _ : state) {
        box->setHtml(document());
        benchmark::DoNotOptimize(box->documentHeight());
    }
    state.counters["fragments"] = static_cast<double>(box->fragments.size());
    state.counters["height_px"] = box->documentHeight();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document().size()));
}
BENCHMARK(BM_SetHtml_1MB)->Unit(benchmark::kMillisecond);

void BM_FirstDraw_1MB(benchmark::State& state) {
    auto box = makeBox();
    box->setHtml(document());
    for (auto _ : state) {
        state.PauseTiming();
        box->setTileHeight(GuiHtmlBox::kTileHeight);  // no tile made yet, as after setHtml
        state.ResumeTiming();
        drawFrame(*box);
    }
}
BENCHMARK(BM_FirstDraw_1MB)->Unit(benchmark::kMillisecond);

void BM_WheelStep_1MB(benchmark::State& state) {
    auto box = makeBox();
    box->setHtml(document());
    box->scrollTo(box->documentHeight() / 2);
    drawFrame(*box);
    int direction = -1;
    for (auto _ : state) {
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.y = direction;
        GuiEvent ge = GuiEvent::makeInput(0, &e);
        box->handleEvent(ge);
        drawFrame(*box);
        if (box->scrollOffset() == 0 || box->scrollOffset() == box->documentHeight() - 259)
            direction = -direction;
    }
}
BENCHMARK(BM_WheelStep_1MB)->Unit(benchmark::kMicrosecond);

// Resident memory the document adds at its peak: set, drawn, and scrolled through to the end.
void BM_PeakMemory_1MB(benchmark::State& state) {
    for (auto _ : state) {
        std::ofstream("/proc/self/clear_refs") << "5";  // restart the peak at the current size
        const long before = statusKiB("VmRSS:");
        {
            auto box = makeBox();
            box->setHtml(document());
            for (int at = 0; at < box->documentHeight(); at += 259) {
                box->scrollTo(at);
                drawFrame(*box);
            }
            state.counters["rss_with_doc_MiB"] = (statusKiB("VmRSS:") - before) / 1024.0;
        }
        state.counters["peak_above_MiB"] = (statusKiB("VmHWM:") - before) / 1024.0;
    }
}
BENCHMARK(BM_PeakMemory_1MB)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    useHeadlessSdl(BenchRenderer::Software);
    app();
    (void)document();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
