// The demo's drawing panels: the swinging image (column 2), the cairo scene (column 3) and their
// per-frame animation.
#include "demo/Demo.h"

#include "rich/Panels.h"
#include "text/TextCtrl.h"

#include <cmath>

namespace {

constexpr SDL_Color kWhite{255, 255, 255, 255};

// The scene of one frame: white ground, a red square, the text control's two status lines,
// a half-transparent green disc swinging on s and a blue line from it to a fixed point.
void paintScene(cairo_t* cr, double s, const GuiTextCtrl* text) {
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, 1, 1, 1, 1);
    cairo_paint(cr);
    cairo_restore(cr);

    cairo_set_source_rgba(cr, 1, 0, 0, 1);
    cairo_rectangle(cr, 0, 0, 50, 50);
    cairo_fill(cr);

    if (text) {
        const auto [first, second] = text->debugLines();
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_select_font_face(cr, "Monospace", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, 15);
        cairo_move_to(cr, 0, 210);
        cairo_show_text(cr, first ? first : "");
        cairo_move_to(cr, 0, 230);
        cairo_show_text(cr, second ? second : "");
    }

    const double cx = 300 + 100 * s, cy = 200 - 30 * s * s;
    cairo_set_source_rgba(cr, 0, 1, 0, 0.5);
    cairo_arc(cr, cx, cy, 40, 0, 2 * M_PI);
    cairo_fill(cr);

    cairo_set_source_rgb(cr, 0, 0, 1);
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, 300, 30);
    cairo_stroke(cr);
}

}  // namespace

void Demo::buildImageSection() {
    GuiWindow* root = mainRoot();
    if (!root) return;
    addSectionTitle(310, 449, 280, "Bildanzeige (GuiImagePanel)");
    movingImage = new GuiImagePanel(nullptr, -1, imageBaseX, 467, 150, 150, kWhite);
    // A missing picture leaves the panel empty; the demo goes on without it.
    movingImage->loadImage(mainWindow->sdlRenderer(), "tovik_small.png");
    root->addChild(movingImage);
    named(movingImage, "tovik_small.png", "image");
}

void Demo::buildCairoSection() {
    GuiWindow* root = mainRoot();
    if (!root) return;
    addSectionTitle(610, 623, 620, "GuiCairoPanel (Custom Drawing)");
    cairoPanel =
        new GuiCairoPanel(nullptr, -1, 610, 641, 620, 287, kWhite, mainWindow->sdlRenderer());
    // The scene marks itself dirty when painted: frames without a new scene upload nothing.
    cairoPanel->uploadOnlyWhenDirty = true;
    root->addChild(cairoPanel);
    named(cairoPanel, "Live-Animation (Cairo)", "cairo");
}

void Demo::animatePanels(double s) {
    if (movingImage)
        movingImage->moveTo(imageBaseX + static_cast<int>(std::lround(-imageAmplitude * s)),
                            movingImage->y);
    if (!cairoPanel || !cairoPanel->readyForFrame()) return;
    paintScene(cairoPanel->cr(), s, multiLineText);
    cairoPanel->markDirty();
}
