// The text control's measuring of its lines (table-driven for Latin text, glyph by glyph for
// the rest): for any bytes, with and without word wrap, the scroll bars' extent and the rows
// are those of the whole glyph layout, and the code points are those the UTF-8 helpers count.
#include "core/Engine.h"
#include "fuzz/support/FuzzEngine.h"
#include "tests/support/GlyphExtent.h"
#include "text/TextCtrl.h"
#include "text/Utf8.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

int32_t rowsOf(const std::vector<Glyph>& g) {
    int32_t rows = 0;
    for (size_t i = 0; i < g.size(); ++i)
        if (i == 0 || g[i].y != g[i - 1].y) ++rows;
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startFuzzEngine();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FT_Face face = ZazOvadir::current() ? ZazOvadir::current()->getFtFace() : nullptr;
    if (!face || size > 4096) return 0;
    const std::string s(reinterpret_cast<const char*>(data), size);
    // The first byte picks the width, so that word wrap meets rows of a few glyphs and more.
    const int width = 40 + (size ? data[0] % 200 : 0);
    for (uint32_t flags : {uint32_t(TEXT_MULTILINE), uint32_t(TEXT_MULTILINE | TEXT_WORDWRAP)}) {
        GuiTextCtrl t(nullptr, -1, 0, 0, width, 60, SDL_Color{255, 255, 255, 255}, face, flags);
        t.setText(s);
        const std::vector<Glyph> glyphs = t.allGlyphs();
        if (t.codePointCount() != countCodePoints(s)) std::abort();
        if (t.glyphCount() != int32_t(glyphs.size())) std::abort();
        if (t.contentExtent() != extentOf(t, glyphs)) std::abort();
        if (t.rowCount() != rowsOf(glyphs)) std::abort();
        // Appended lines are measured only where they can beat the widest line known.
        const size_t cut = size ? data[size - 1] % (size + 1) : 0;
        t.setText(s.substr(0, cut));
        t.appendText(s.substr(cut));
        if (t.contentExtent() != extentOf(t)) std::abort();
    }
    return 0;
}
