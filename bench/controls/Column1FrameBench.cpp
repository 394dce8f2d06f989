// Process CPU time (all threads) of one frame of a demo-sized window holding only the basic
// controls as the demo's first column places them, plus the status bar: software renderer and
// OpenGL (which draws cacheable controls from their cache textures), idle and with the two
// gauges advancing every frame; the empty window alone is the baseline.
#include "controls/Buttons.h"
#include "controls/Labels.h"
#include "controls/ValueControls.h"
#include "core/Engine.h"
#include "core/Sizer.h"
#include "core/Window.h"

#include "support/Headless.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr SDL_Color kGrey{192, 192, 192, 255};
constexpr SDL_Color kBack{200, 200, 200, 255};
constexpr SDL_Color kGreen{80, 180, 80, 255};
constexpr SDL_Color kBlack{0, 0, 0, 255};
constexpr SDL_Color kWhite{255, 255, 255, 255};

class BenchApp : public ZazOvadir {
public:
    BenchApp(bool withControls, bool animate) : animate(withControls && animate) {
        mainWindow = createMainWindow("Bench", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 1900,
                                      960, SDL_WINDOW_SHOWN, kBack);
        if (mainWindow && withControls) build(mainWindow->root.get(), mainWindow->sdlRenderer());
    }
    void renderWindow(AppWindow* w) override {
        w->root->update(SDL_GetTicks());
        if (animate) {
            percent = percent >= 100 ? 0 : percent + 1;
            gaugeH->setPercent(percent);
            gaugeV->setPercent(percent);
        }
        w->root->draw(w->sdlRenderer());
        SDL_RenderPresent(w->sdlRenderer());
        TextureRetirement::advance(w->sdlRenderer());
    }
    void dispatchEvent(AppWindow*, GuiEvent&) override {}

private:
    void title(GuiWindow* root, int y, const char* text) {
        root->addChild(new GuiLabel(nullptr, -1, 10, y, 280, 18, kGrey, text, getDefaultFont()));
    }
    void build(GuiWindow* root, SDL_Renderer* r) {
        TTF_Font* f = getDefaultFont();
        title(root, 35, "Buttons");
        root->addChild(new GuiButton(nullptr, 0, 10, 53, 100, 25, kGrey, "Button 1", f, 0));
        root->addChild(new GuiButton(nullptr, 0, 10, 82, 100, 25, kGrey, "Button 2", f, 1));
        root->addChild(new GuiImageButton(nullptr, 0, 130, 53, 50, 50, kGrey, r, 0));
        root->addChild(new GuiImageButton(nullptr, 0, 190, 53, 50, 50, kGrey, r, 1));
        root->addChild(new GuiButton(nullptr, 5001, 10, 111, 100, 25, kGrey, "Zähler ++", f, 2));
        root->addChild(new GuiLabel(nullptr, -1, 120, 111, 60, 25, kGrey, "0", f));
        title(root, 146, "Checkboxen & Radiobuttons");
        root->addChild(new GuiCheckBox(nullptr, 0, 10, 164, 128, 25, kGrey, "Checkbox 1", f));
        root->addChild(new GuiCheckBox(nullptr, 0, 10, 193, 128, 25, kGrey, "Checkbox 2", f));
        root->addChild(new GuiRadioButton(nullptr, 0, 140, 164, 100, 25, kGrey, "Radio 1", f));
        root->addChild(new GuiRadioButton(nullptr, 0, 140, 193, 100, 25, kGrey, "Radio 2", f));
        auto* panel =
            new GuiPanel(nullptr, -1, 10, 228, 280, 70, {230, 230, 230, 255}, "Panel & Sizer", f);
        root->addChild(panel);
        auto* row = new GuiBoxSizer(0, 4);
        for (const char* label : {"A", "B", "C"}) {
            auto* b = new GuiButton(nullptr, 0, 0, 0, 60, 25, kGrey, label, f, 0);
            panel->addChild(b);
            row->add(b, label[0] == 'B' ? 1 : 0, 15, 4);
        }
        panel->setSizer(row);
        title(root, 360, "Slider & SpinBox");
        root->addChild(new GuiSlider(nullptr, 2001, 10, 378, 180, 24, kBack, {150, 150, 150, 255},
                                     kGreen, 0, 100, 25, 0));
        root->addChild(new GuiSlider(nullptr, 2001, 10, 406, 24, 150, kBack, {150, 150, 150, 255},
                                     kGreen, 0, 100, 25, 1));
        root->addChild(new GuiSpinBox(nullptr, 3001, 50, 406, 60, 24, kWhite, kBlack, kBlack, f, 0,
                                      100, 42, 1));
        title(root, 566, "Gauges & Labels");
        gaugeH = new GuiGauge(nullptr, 1001, 10, 584, 280, 24, kBack, kGreen, kBlack, f, 0);
        gaugeV = new GuiGauge(nullptr, 1001, 10, 612, 40, 90, kBack, kGreen, kBlack, f, 1);
        root->addChild(gaugeH);
        root->addChild(gaugeV);
        root->addChild(new GuiLabel(nullptr, 1002, 70, 612, 120, 25, kGreen, "Testlabel1", f));
        root->addChild(new GuiLabel(nullptr, 1003, 70, 641, 120, 25, kGreen, "Testlabel2", f));
        auto* bar = new GuiStatusBar(nullptr, -1, {240, 240, 240, 255}, f);
        root->addChild(bar);
        bar->y = 938;
        bar->setPanes({-1, 200});
        bar->setText("Bereit", 0);
        bar->setText("tambergui Demo", 1);
    }

    bool animate;
    double percent = 0;
    GuiGauge* gaugeH = nullptr;
    GuiGauge* gaugeV = nullptr;
};

void drawFrames(benchmark::State& state) {
    const bool opengl = state.range(0) != 0;
    SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, opengl ? "opengl" : "software",
                            SDL_HINT_OVERRIDE);
    // Animation 2 stands for the empty window: what every frame costs without controls.
    const bool empty = state.range(1) == 2;
    BenchApp app(!empty, state.range(1) == 1);
    AppWindow* w = app.mainWindow;
    if (!w) {
        state.SkipWithError("no window");
        return;
    }
    SDL_RendererInfo info;
    SDL_GetRendererInfo(w->sdlRenderer(), &info);
    if (opengl && (info.flags & SDL_RENDERER_SOFTWARE)) {
        state.SkipWithError("no OpenGL renderer here");
        return;
    }
    for (int i = 0; i < 30; ++i)
        app.renderWindow(w);  // past the warm-up after opening
    for (auto _ : state)
        app.renderWindow(w);
    const char* kinds[] = {" idle", " animated", " empty window"};
    state.SetLabel(std::string(opengl ? "opengl" : "software") + kinds[state.range(1)]);
}

BENCHMARK(drawFrames)
    ->ArgsProduct({{0, 1}, {0, 1, 2}})
    ->Unit(benchmark::kMicrosecond)
    ->MeasureProcessCPUTime()
    ->Iterations(400);  // a fixed count: an empty OpenGL frame costs almost no CPU but waits

}  // namespace

int main(int argc, char** argv) {
    return runHeadlessBenchmarks(argc, argv, BenchRenderer::ChosenPerBenchmark);
}
