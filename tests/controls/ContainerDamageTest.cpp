// A change inside a container redraws that change and what overlaps it, not the container's
// other children: panels, scrolled panels, notebook pages and splitter panes draw in parts, and
// the part they draw has the pixels of a full redraw.
#include "controls/Containers.h"
#include "controls/Labels.h"

#include "ControlsFixture.h"

#include <functional>

namespace {

constexpr SDL_Color kPanelBlue{180, 190, 230, 255};

struct ContainerCase {
    const char* name;
    // Builds the container at the top level and returns the panel to put the probes in.
    std::function<GuiPanel*(GuiWindow*, TTF_Font*)> build;
    std::function<void(GuiObject*, GuiObject*)> addTo;
};

std::vector<uint32_t> windowPixels(AppWindow* w) {
    std::vector<uint32_t> px(static_cast<size_t>(w->width) * w->height);
    SDL_RenderReadPixels(w->sdlRenderer(), nullptr, SDL_PIXELFORMAT_ARGB8888, px.data(),
                         w->width * 4);
    return px;
}

class ContainerDamage : public ControlsTest, public ::testing::WithParamInterface<int> {
protected:
    // Draws the frames a change asks for and returns what the window showed before presenting.
    std::vector<uint32_t> shownAfterChange() {
        std::vector<uint32_t> shown;
        app.beforePresent = [&](AppWindow* w) { shown = windowPixels(w); };
        app.runFor(50);
        app.beforePresent = nullptr;
        return shown;
    }
};

const ContainerCase kCases[] = {
    {"panel",
     [](GuiWindow* root, TTF_Font* font) {
         auto* p = new GuiPanel(nullptr, -1, 10, 10, 240, 150, kPanelBlue, "Rahmen", font);
         root->addChild(p);
         return p;
     }},
    {"scrolled panel",
     [](GuiWindow* root, TTF_Font*) {
         auto* s = new GuiScrolledPanel(nullptr, -1, 10, 10, 240, 150, kPanelBlue);
         root->addChild(s);
         s->setVirtualSize(400, 400);  // bars: chrome drawn in part too
         return static_cast<GuiPanel*>(nullptr);
     },
     [](GuiObject* container, GuiObject* child) {
         static_cast<GuiScrolledPanel*>(container)->addChild(child);
     }},
    {"notebook page",
     [](GuiWindow* root, TTF_Font* font) {
         auto* nb = new GuiNotebook(nullptr, -1, 10, 10, 240, 150, kPanelBlue, font);
         root->addChild(nb);
         GuiPanel* shown = nb->addPage("Eins", "eins");
         nb->addPage("Zwei", "zwei");
         return shown;
     }},
    {"splitter pane",
     [](GuiWindow* root, TTF_Font*) {
         auto* sp = new GuiSplitterWindow(nullptr, -1, 10, 10, 240, 150, kPanelBlue, 0);
         root->addChild(sp);
         return sp->firstPane.get();
     }},
};

TEST_P(ContainerDamage, AChangeInsideRedrawsOnlyThatChildWithTheFullRedrawsPixels) {
    const ContainerCase& c = kCases[GetParam()];
    SCOPED_TRACE(c.name);
    app.verifyDamage = false;  // its reference draws would count as draws here
    {
        GuiPanel* panel = c.build(root, font);
        GuiObject* container = root->children.back().get();
        auto* near = new ProbeWidget(20, 50, 20, 20, {255, 0, 0, 255});
        auto* far = new ProbeWidget(60, 90, 20, 20, {0, 128, 0, 255});
        for (ProbeWidget* p : {near, far}) {
            if (panel)
                panel->addChild(p);
            else
                c.addTo(container, p);
        }
        auto* outside = add(new ProbeWidget(280, 10, 20, 20, {0, 0, 255, 255}));
        app.runFor(50);
        for (ProbeWidget* p : {near, far, outside})
            p->draws = 0;

        near->bgColor = SDL_Color{250, 200, 0, 255};
        near->invalidate();
        const std::vector<uint32_t> partial = shownAfterChange();
        EXPECT_EQ(near->draws, 1);
        EXPECT_EQ(far->draws, 0) << "a sibling the change does not meet is not redrawn";
        EXPECT_EQ(outside->draws, 0);

        app.requestRedraw();
        const std::vector<uint32_t> full = shownAfterChange();
        ASSERT_FALSE(partial.empty());
        ASSERT_EQ(partial.size(), full.size());
        size_t differing = 0;
        for (size_t i = 0; i < full.size(); ++i)
            differing += partial[i] != full[i];
        EXPECT_EQ(differing, 0u) << "pixels differing from a full redraw";
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, ContainerDamage, ::testing::Range(0, 4),
                         [](const auto& info) { return std::to_string(info.param); });

}  // namespace
