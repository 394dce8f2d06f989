// The cairo panel of the demo's size (620 x 287) on the software renderer, per frame:
//   upload:     an opaque drawing marked dirty, uploaded (un-premultiplied) and copied
//   translucent: the same with a translucent drawing (every pixel divided, copy blends)
//   copy:       nothing new to upload, only the texture copy
//   scene:      painting the demo's scene with cairo, without drawing the panel
#include "core/Engine.h"
#include "core/Window.h"
#include "rich/Panels.h"

#include "support/Headless.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

constexpr SDL_Color kBack{200, 200, 200, 255};
constexpr SDL_Color kWhite{255, 255, 255, 255};

class BenchApp : public ZazOvadir {
public:
    BenchApp() {
        mainWindow = createMainWindow("Bench", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 1900,
                                      960, SDL_WINDOW_SHOWN, kBack);
        if (!mainWindow) return;
        panel =
            new GuiCairoPanel(nullptr, -1, 610, 641, 620, 287, kWhite, mainWindow->sdlRenderer());
        mainWindow->root->addChild(panel);
    }
    void renderWindow(AppWindow*) override {}
    void dispatchEvent(AppWindow*, GuiEvent&) override {}
    GuiCairoPanel* panel = nullptr;
};

void paintScene(cairo_t* cr, double s, double alpha) {
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, 1, 1, 1, alpha);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_set_source_rgba(cr, 1, 0, 0, 1);
    cairo_rectangle(cr, 0, 0, 50, 50);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_select_font_face(cr, "Monospace", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 15);
    cairo_move_to(cr, 0, 210);
    cairo_show_text(cr, "CursorIndex 0   SelIndex -1:-1   SelByte -1:-1");
    cairo_move_to(cr, 0, 230);
    cairo_show_text(cr, "Scroll 0:0   CP 68");
    const double cx = 300 + 100 * s, cy = 200 - 30 * s * s;
    cairo_set_source_rgba(cr, 0, 1, 0, 0.5);
    cairo_arc(cr, cx, cy, 40, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 1);
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, 300, 30);
    cairo_stroke(cr);
}

void panelFrame(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    BenchApp app;
    if (!app.panel || !app.panel->hasTexture()) {
        state.SkipWithError("no panel");
        return;
    }
    SDL_Renderer* r = app.mainWindow->sdlRenderer();
    app.panel->uploadOnlyWhenDirty = true;
    paintScene(app.panel->cr(), 0.3, mode == 1 ? 0.5 : 1.0);
    double s = 0;
    for (auto _ : state) {
        if (mode == 3) {
            s += 0.01;
            paintScene(app.panel->cr(), std::sin(s), 1.0);
            continue;
        }
        if (mode != 2) app.panel->markDirty();
        app.panel->draw(r);
        SDL_RenderFlush(r);
    }
    static const char* const kLabels[] = {"upload", "translucent", "copy", "scene"};
    state.SetLabel(kLabels[mode]);
}

BENCHMARK(panelFrame)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
    return runHeadlessBenchmarks(argc, argv, BenchRenderer::Software);
}
