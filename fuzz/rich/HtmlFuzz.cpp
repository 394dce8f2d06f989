// The HTML parser with the box's layout (no renderer): any bytes give a document whose
// fragments, positions, links and selected text stay inside what was laid out.
#include "core/Engine.h"
#include "fuzz/support/FuzzEngine.h"
#include "rich/HtmlBox.h"
#include "text/Utf8.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startFuzzEngine();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string html(reinterpret_cast<const char*>(data), size);
    GuiHtmlBox box(nullptr, -1, 0, 0, 200, 120, SDL_Color{255, 255, 255, 255}, nullptr);
    box.setHtml(html);
    if (box.documentHeight() < 1) std::abort();
    const int n = static_cast<int>(box.fragments.size());
    for (int i = 0; i < n; ++i) {
        const SDL_Rect r = box.fragmentRect(i);
        if (r.y < 0 || r.y > box.documentHeight() || r.w < 0) std::abort();
        if (box.prefixWidths(i).size() !=
            static_cast<size_t>(countCodePoints(box.fragmentText(i))) + 1)
            std::abort();
    }
    for (int py : {-50, 0, 7, 60, 119, 500})
        for (int px : {-5, 0, 30, 199, 400}) {
            const HtmlPosition p = box.positionAt(px, py);
            if (p.fragment < -1 || p.fragment >= n) std::abort();
            box.linkAt(px, py);
        }
    if (n > 0) {
        box.setSelection({0, 0}, {n - 1, 1 << 20});
        box.selectedText();
    }
    // A narrower box lays the same document out again, as a resize in the frame would.
    box.width = 60;
    box.relayout();
    box.scrollTo(1 << 30);
    return 0;
}
