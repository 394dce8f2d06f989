// The HTML box on the software renderer: layout arithmetic (spacing, lists, tables, images,
// wrapping and overhang), pixels of headings, links, selection, bullets, numbers and table
// lines, and interaction through real SDL events (link clicks, selection and copy, wheel,
// thumb drag), plus the faults it must survive (invalid UTF-8, hostile images, long documents).
#include "rich/HtmlBox.h"
#include "controls/ControlsFixture.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr SDL_Color kWhite{255, 255, 255, 255};
constexpr int kBoxX = 10, kBoxY = 10;

std::string base64(const std::string& bytes) {
    static const char* alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        uint32_t v = uint8_t(bytes[i]) << 16 | uint8_t(bytes[i + 1]) << 8 | uint8_t(bytes[i + 2]);
        for (int k = 3; k >= 0; --k)
            out += alphabet[(v >> (6 * k)) & 63];
    }
    if (i < bytes.size()) {
        uint32_t v = uint8_t(bytes[i]) << 16;
        if (i + 1 < bytes.size()) v |= uint8_t(bytes[i + 1]) << 8;
        out += alphabet[(v >> 18) & 63];
        out += alphabet[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? alphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

uint32_t crc32(const std::string& bytes) {
    uint32_t c = 0xFFFFFFFF;
    for (unsigned char b : bytes) {
        c ^= b;
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320 & (0 - (c & 1)));
    }
    return ~c;
}

class HtmlBox : public ::testing::Test {
protected:
    void SetUp() override {
        rec = app.openMain(480, 360, SDL_Color{200, 200, 200, 255});
        ASSERT_NE(rec, nullptr);
        f14 = app.openFont(14);
        f28 = app.openFont(28);
        ASSERT_TRUE(f14 && f28) << "data/fonts/Vera.ttf is staged for the tests";
        dir =
            std::filesystem::temp_directory_path() / ("tambergui-html-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        TTF_CloseFont(f14);
        TTF_CloseFont(f28);
        std::filesystem::remove_all(dir);
    }

    GuiHtmlBox* makeBox(int w, int h, const std::string& html) {
        auto* box = new GuiHtmlBox(nullptr, -1, kBoxX, kBoxY, w, h, kWhite, rec->sdlRenderer());
        rec->root->addChild(box);
        box->setHtml(html);
        return box;
    }
    // A PNG of w x h in one colour, written to the test's directory; returns its path.
    std::string writePng(int w, int h, const char* name, SDL_Color c = {200, 30, 30, 255}) {
        SdlSurfacePtr s(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32));
        SDL_FillRect(s.get(), nullptr, SDL_MapRGBA(s->format, c.r, c.g, c.b, c.a));
        std::string path = (dir / name).string();
        IMG_SavePNG(s.get(), path.c_str());
        return path;
    }
    std::string dataUri(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return "data:image/png;base64," + base64(bytes);
    }
    static SDL_Point size(TTF_Font* f, const std::string& s) {
        SDL_Point p{0, 0};
        TTF_SizeUTF8(f, s.c_str(), &p.x, &p.y);
        return p;
    }
    int h14() const { return size(f14, "A").y; }
    int w14(const std::string& s) const { return size(f14, s).x; }

    std::vector<SDL_Color> pixels(const std::vector<SDL_Point>& points) {
        std::vector<SDL_Color> out;
        app.beforePresent = [&](AppWindow* w) {
            for (SDL_Point p : points)
                out.push_back(readPixel(w->sdlRenderer(), p.x, p.y));
        };
        app.requestRedraw();  // the test application draws on demand
        app.renderWindow(rec);
        app.beforePresent = nullptr;
        return out;
    }
    SDL_Color pixel(int x, int y) { return pixels({{x, y}})[0]; }
    // Window pixels of a rectangle, row by row.
    std::vector<SDL_Color> area(SDL_Rect r) {
        std::vector<SDL_Point> points;
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x)
                points.push_back({x, y});
        return pixels(points);
    }
    // Rows and columns of a window rectangle that hold ink (a pixel darker than 128 in green).
    SDL_Rect inkBounds(SDL_Rect r) {
        std::vector<SDL_Color> px = area(r);
        int minX = INT32_MAX, minY = INT32_MAX, maxX = -1, maxY = -1;
        for (int j = 0; j < r.h; ++j)
            for (int i = 0; i < r.w; ++i)
                if (px[j * r.w + i].g < 128) {
                    minX = std::min(minX, r.x + i);
                    maxX = std::max(maxX, r.x + i);
                    minY = std::min(minY, r.y + j);
                    maxY = std::max(maxY, r.y + j);
                }
        if (maxX < 0) return SDL_Rect{0, 0, 0, 0};
        return SDL_Rect{minX, minY, maxX - minX + 1, maxY - minY + 1};
    }

    uint32_t wid() const { return rec->windowId; }
    void press(int x, int y) { route(app, mouseButton(SDL_MOUSEBUTTONDOWN, wid(), x, y)); }
    void release(int x, int y) { route(app, mouseButton(SDL_MOUSEBUTTONUP, wid(), x, y)); }
    void moveTo(int x, int y) { route(app, mouseMotion(wid(), x, y)); }
    void drag(SDL_Point from, SDL_Point to) {
        press(from.x, from.y);
        moveTo((from.x + to.x) / 2, (from.y + to.y) / 2);
        moveTo(to.x, to.y);
        release(to.x, to.y);
    }
    std::string copy() {
        SDL_SetClipboardText("");
        route(app, keyEvent(SDL_KEYDOWN, wid(), SDLK_c, KMOD_LCTRL));
        route(app, keyEvent(SDL_KEYUP, wid(), SDLK_c, KMOD_LCTRL));
        char* text = SDL_GetClipboardText();
        std::string out = text ? text : "";
        SDL_free(text);
        return out;
    }
    // Window point inside fragment i, dx pixels from its left edge, in its vertical middle.
    SDL_Point at(GuiHtmlBox* box, int i, int dx) {
        SDL_Rect r = box->fragmentRect(i);
        return SDL_Point{box->x + r.x + dx, box->y + r.y + r.h / 2 - box->scrollOffset()};
    }

    TestApp app;
    AppWindow* rec = nullptr;
    TTF_Font* f14 = nullptr;
    TTF_Font* f28 = nullptr;
    std::filesystem::path dir;
};

// ---------------------------------------------------------------------------------------------
// Layout

TEST_F(HtmlBox, SpacesBlocksAsLaidDown) {
    TtfFontPtr f22(app.openFont(22));
    const int h = h14(), h28 = size(f28, "A").y;
    const std::string img = writePng(40, 30, "small.png");
    struct Case {
        std::string html;
        std::vector<SDL_Point> origins;  // of the fragments, in order
        int height;                      // documentHeight
    };
    const Case cases[] = {
        {"<h1>A</h1><p>B</p>", {{0, 10}, {0, 10 + h28 + 6}}, 10 + h28 + 6 + h + 6},
        {"<p>A</p><h2>B</h2>", {{0, 0}, {0, h + 6 + 10}}, h + 6 + 10 + size(f22.get(), "B").y + 6},
        {"<ul><li>A</li><li>B</li></ul>", {{24, 0}, {24, h + 2}}, 2 * (h + 2)},
        {"<p>A</p><img src=\"" + img + "\"><p>B</p>",
         {{0, 0}, {0, h + 6 + 30 + 6}},
         2 * (h + 6) + 36},
        {"<img src=\"missing.png\"><p>B</p>", {{0, 0}}, h + 6},
        {"<p>A<br>B</p>", {{0, 0}, {0, h + 6}}, 2 * (h + 6)},
        {"", {}, 1},
        {"<p></p>", {}, 1},
    };
    for (const Case& c : cases) {
        GuiHtmlBox box(nullptr, -1, 0, 0, 300, 100, kWhite, nullptr);
        box.setHtml(c.html);
        ASSERT_EQ(box.fragments.size(), c.origins.size()) << c.html;
        for (size_t i = 0; i < c.origins.size(); ++i) {
            EXPECT_EQ(box.fragmentRect(int(i)).x, c.origins[i].x) << c.html << " #" << i;
            EXPECT_EQ(box.fragmentRect(int(i)).y, c.origins[i].y) << c.html << " #" << i;
        }
        EXPECT_EQ(box.documentHeight(), c.height) << c.html;
    }
}

TEST_F(HtmlBox, MarksListItems) {
    GuiHtmlBox box(nullptr, -1, 0, 0, 300, 100, kWhite, nullptr);
    box.setHtml("<ol><li>A</li><li>B</li></ol><ul><li>C</li></ul>");
    const int h = h14();
    ASSERT_EQ(box.markers.size(), 3u);
    const ListMarker expected[] = {
        {24, 0, 24, h, true, 1}, {24, h + 2, 24, h, true, 2}, {24, 2 * (h + 2), 24, h, false, 1}};
    for (int i = 0; i < 3; ++i) {
        const ListMarker& m = box.markers[i];
        const ListMarker& e = expected[i];
        EXPECT_EQ(std::tie(m.x, m.y, m.w, m.h, m.ordered, m.number),
                  std::tie(e.x, e.y, e.w, e.h, e.ordered, e.number))
            << i;
    }
}

TEST_F(HtmlBox, LaysTablesOut) {
    GuiHtmlBox box(nullptr, -1, 0, 0, 300, 100, kWhite, nullptr);
    box.setHtml(
        "<table border=1 cellpadding=6><tr><th>A</th><th>BB</th></tr><tr><td>CCCC</td></tr>"
        "</table><p>D</p>");
    const int h = h14();
    const int col0 = std::max(w14("A"), w14("CCCC")) + 12, col1 = w14("BB") + 12;
    const int total = col0 + col1, rowH = h + 12;
    ASSERT_EQ(box.fragments.size(), 4u);
    const SDL_Point origins[] = {{6, 6}, {col0 + 6, 6}, {6, rowH + 6}, {0, 2 * rowH + 8}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(box.fragmentRect(i).x, origins[i].x) << i;
        EXPECT_EQ(box.fragmentRect(i).y, origins[i].y) << i;
    }
    const std::vector<SDL_Rect> lines = {
        {0, rowH, total, 1},   {0, 2 * rowH, total, 1},     {0, 0, total, 1},
        {0, 0, 1, 2 * rowH},   {total - 1, 0, 1, 2 * rowH}, {0, 0, 1, 2 * rowH},
        {col0, 0, 1, 2 * rowH}};
    ASSERT_EQ(box.borders.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(SDL_RectEquals(&box.borders[i], &lines[i])) << i;

    // Too wide for the box: every column gets an equal share; no border, no lines.
    GuiHtmlBox narrow(nullptr, -1, 0, 0, 14 + 90, 100, kWhite, nullptr);
    narrow.setHtml("<table cellpadding=2><tr><td>Breite Zelle</td><td>x</td><td>y</td></table>");
    ASSERT_EQ(narrow.fragments.size(), 4u);  // "Breite", " Zelle" (wrapped), "x", "y"
    EXPECT_EQ(narrow.fragmentRect(2).x, 30 + 2);
    EXPECT_EQ(narrow.fragmentRect(3).x, 60 + 2);
    EXPECT_TRUE(narrow.borders.empty());
}

TEST_F(HtmlBox, WrapsWordsAndLetsLongOnesOverhang) {
    const std::string text = "aaa bbb ccc";
    const int fits = w14("aaa") + w14(" bbb");
    GuiHtmlBox box(nullptr, -1, 0, 0, fits + 14, 100, kWhite, nullptr);
    box.setHtml("<p>" + text + "</p>");
    ASSERT_EQ(box.fragments.size(), 3u);
    EXPECT_EQ(box.fragmentText(1), " bbb");
    EXPECT_EQ(box.fragmentText(2), "ccc");  // the space is dropped at the wrap
    EXPECT_EQ(box.fragmentRect(2).x, 0);
    EXPECT_EQ(box.fragmentRect(2).y, h14());
    EXPECT_TRUE(box.fragments[2].startsWrappedLine);
    EXPECT_FALSE(box.fragments[1].startsWrappedLine);

    GuiHtmlBox narrow(nullptr, -1, 0, 0, 14 + 40, 100, kWhite, nullptr);
    narrow.setHtml("<p>a Donaudampfschiff b</p>");
    ASSERT_EQ(narrow.fragments.size(), 3u);
    EXPECT_EQ(narrow.fragmentRect(1).x, 0);
    EXPECT_EQ(narrow.fragmentRect(1).y, h14());
    EXPECT_GT(narrow.fragmentRect(1).w, 40);  // stands alone and overhangs
    EXPECT_EQ(narrow.fragmentRect(2).y, 2 * h14());
}

TEST_F(HtmlBox, ScalesWideImagesAndRefusesBrokenOnes) {
    const std::string wide = writePng(200, 50, "wide.png");
    const std::string small = writePng(24, 24, "small.png");
    // A PNG whose valid header promises 20000 x 20000 pixels (1.6 GB decoded), and no data.
    std::string header = std::string("IHDR\0\0\x4e\x20\0\0\x4e\x20\x08\x06\0\0\0", 17);
    const uint32_t crc = crc32(header);
    std::string png = "\x89PNG\r\n\x1a\n" + std::string("\0\0\0\x0d", 4) + header;
    for (int shift : {24, 16, 8, 0})
        png += static_cast<char>(crc >> shift);
    const std::string huge = "data:image/png;base64," + base64(png);
    const std::string fifo = (dir / "pipe.png").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::string src;
        SDL_Rect rect;  // w 0: no image
    };
    const Case cases[] = {
        {wide, {0, 0, 100, 25}},
        {small, {0, 0, 24, 24}},
        {dataUri(small), {0, 0, 24, 24}},
        {"data:image/png;base64,!!!!", {0, 0, 0, 0}},
        {"data:image/png,plain", {0, 0, 0, 0}},
        {"data:image/png;base64,", {0, 0, 0, 0}},
        {"data:image/png;base64,TWFu", {0, 0, 0, 0}},
        {huge, {0, 0, 0, 0}},
        {(dir / "absent.png").string(), {0, 0, 0, 0}},
        {dir.string(), {0, 0, 0, 0}},
        {fifo, {0, 0, 0, 0}},  // opening it would wait for a writer forever
    };
    for (const Case& c : cases) {
        GuiHtmlBox box(nullptr, -1, 0, 0, 100 + 14, 100, kWhite, nullptr);
        box.setHtml("<img src=\"" + c.src + "\">");
        if (c.rect.w == 0) {
            EXPECT_TRUE(box.images.empty()) << c.src.substr(0, 60);
            EXPECT_EQ(box.documentHeight(), 1) << c.src.substr(0, 60);
            continue;
        }
        ASSERT_EQ(box.images.size(), 1u) << c.src.substr(0, 60);
        EXPECT_TRUE(SDL_RectEquals(&box.images[0].rect, &c.rect)) << c.src.substr(0, 60);
        EXPECT_EQ(box.documentHeight(), c.rect.h + 6);
    }
    // A very thin wide image keeps a height of one pixel.
    const std::string thin = writePng(1000, 2, "thin.png");
    GuiHtmlBox box(nullptr, -1, 0, 0, 100 + 14, 100, kWhite, nullptr);
    box.setHtml("<img src=\"" + thin + "\">");
    ASSERT_EQ(box.images.size(), 1u);
    EXPECT_EQ(box.images[0].rect.w, 100);
    EXPECT_EQ(box.images[0].rect.h, 1);
}

TEST_F(HtmlBox, InvalidUtf8IsShownNotThrown) {
    GuiHtmlBox* box = makeBox(200, 100, "<p>a\xff\xc3 b\xe2\x82</p>");
    ASSERT_EQ(box->fragments.size(), 2u);
    EXPECT_EQ(box->fragmentText(0), "a\xef\xbf\xbd\xef\xbf\xbd");
    EXPECT_EQ(box->prefixWidths(0).size(), 4u);
    box->width = 150;  // relayout inside the frame
    EXPECT_NO_THROW(app.renderWindow(rec));
    EXPECT_EQ(box->fragmentText(1), " b\xef\xbf\xbd\xef\xbf\xbd");
}

TEST_F(HtmlBox, GiantWordsGetPositionsForEveryCharacter) {
    const std::string word(5000, 'w');
    GuiHtmlBox* box = makeBox(300, 100, "<p>" + word + "</p>");
    ASSERT_EQ(box->fragments.size(), 1u);
    const std::vector<int>& prefix = box->prefixWidths(0);
    ASSERT_EQ(prefix.size(), word.size() + 1);
    EXPECT_TRUE(std::is_sorted(prefix.begin(), prefix.end()));
    EXPECT_NEAR(prefix.back(), box->fragmentRect(0).w, box->fragmentRect(0).w / 100);
    EXPECT_EQ(box->positionAt(kBoxX + prefix[4000] + 1, kBoxY + 5).character, 4000);
}

// ---------------------------------------------------------------------------------------------
// Pixels

TEST_F(HtmlBox, PaintsHeadingsLargerThanText) {
    GuiHtmlBox* box = makeBox(300, 200, "<h1>H</h1><p>H</p>");
    SDL_Rect h1 = box->fragmentRect(0), p = box->fragmentRect(1);
    SDL_Rect big = inkBounds({kBoxX + h1.x, kBoxY + h1.y, h1.w, h1.h});
    SDL_Rect small = inkBounds({kBoxX + p.x, kBoxY + p.y, p.w, p.h});
    EXPECT_GE(big.h, 18);
    EXPECT_LE(big.h, 28);
    EXPECT_GE(small.h, 9);
    EXPECT_LE(small.h, 14);
}

TEST_F(HtmlBox, PaintsLinksBlueAndUnderlined) {
    GuiHtmlBox* box = makeBox(300, 200, "<p><a href=\"x\">Linktext</a></p>");
    SDL_Rect r = box->fragmentRect(0);
    std::vector<SDL_Color> px = area({kBoxX + r.x, kBoxY + r.y, r.w, r.h});
    int fullRows = 0;
    for (int j = 0; j < r.h; ++j) {
        int blue = 0;
        for (int i = 0; i < r.w; ++i) {
            SDL_Color c = px[j * r.w + i];
            blue += c.r == 0 && c.g == 0 && c.b == 238;
        }
        fullRows += blue >= r.w - 1;
    }
    EXPECT_GE(fullRows, 1) << "an underline row in the link colour";
}

TEST_F(HtmlBox, BlendsTheSelectionOverTheBackground) {
    GuiHtmlBox* box = makeBox(300, 200, "<p>ab cd</p>");
    SDL_Rect r = box->fragmentRect(0);
    const SDL_Point inside{kBoxX + r.x + 1, kBoxY + r.y + 1};  // above the lower-case letters
    EXPECT_TRUE(sameColor(pixel(inside.x, inside.y), kWhite));
    box->setSelection({0, 0}, {1, 3});
    SDL_Color c = pixel(inside.x, inside.y);
    EXPECT_NEAR(c.r, 183, 2);
    EXPECT_NEAR(c.g, 219, 2);
    EXPECT_NEAR(c.b, 255, 2);
    // Past the selected characters the background stays.
    box->setSelection({0, 0}, {0, 1});
    SDL_Rect cd = box->fragmentRect(1);
    EXPECT_TRUE(sameColor(pixel(kBoxX + cd.x + cd.w - 1, kBoxY + cd.y + 1), kWhite));
}

TEST_F(HtmlBox, PaintsBulletsNumbersAndTableLines) {
    GuiHtmlBox* box = makeBox(
        300, 200, "<ul><li>A</li></ul><ol><li>B</li></ol><table border=1><tr><td>C</td></table>");
    const ListMarker& bullet = box->markers[0];
    const int by = kBoxY + bullet.y + std::max(bullet.h / 2 - 3, 0);
    const int bx = kBoxX + bullet.x - 15;
    std::vector<SDL_Color> px = pixels(
        {{bx, by}, {bx + 5, by + 5}, {bx - 1, by}, {bx + 6, by + 5}, {bx, by - 1}, {bx, by + 6}});
    EXPECT_TRUE(colorIs(px[0], {0, 0, 0, 255}));
    EXPECT_TRUE(colorIs(px[1], {0, 0, 0, 255}));
    for (int i = 2; i < 6; ++i)
        EXPECT_TRUE(colorIs(px[i], kWhite)) << i;

    const ListMarker& number = box->markers[1];
    SDL_Rect ink = inkBounds({kBoxX, kBoxY + number.y, 24, number.h});
    EXPECT_GT(ink.w, 0);
    EXPECT_LE(ink.x + ink.w, kBoxX + 24 - 4) << "right-aligned 4 pixels left of the text";
    EXPECT_GE(ink.x + ink.w, kBoxX + 24 - 4 - 3);

    const SDL_Rect& line = box->borders[0];
    EXPECT_TRUE(colorIs(pixel(kBoxX + line.x + 2, kBoxY + line.y), {180, 180, 180, 255}));
}

// ---------------------------------------------------------------------------------------------
// Interaction

TEST_F(HtmlBox, ClicksLinksWithinThreePixels) {
    GuiHtmlBox* box =
        makeBox(300, 200, "<p>vor <a href=\"https://example.com/a?b=c\">Link</a></p>");
    std::vector<std::string> clicked;
    box->onLinkClicked = [&](const std::string& href) { clicked.push_back(href); };
    ASSERT_EQ(box->fragmentText(1), " ");  // the space after "vor" is a fragment of its own
    ASSERT_EQ(box->fragmentText(2), "Link");
    const SDL_Point p = at(box, 2, box->fragmentRect(2).w / 2);
    struct Case {
        SDL_Point down, up;
        bool calls;
    };
    const Case cases[] = {
        {p, p, true},
        {p, {p.x + 3, p.y}, true},
        {p, {p.x + 2, p.y + 2}, true},
        {p, {p.x + 4, p.y}, false},
        {p, {p.x + 3, p.y + 1}, false},
        {at(box, 0, 2), at(box, 0, 2), false},
    };
    for (const Case& c : cases) {
        clicked.clear();
        press(c.down.x, c.down.y);
        release(c.up.x, c.up.y);
        EXPECT_EQ(clicked.size(), c.calls ? 1u : 0u)
            << c.up.x - c.down.x << "," << c.up.y - c.down.y;
        if (!clicked.empty()) EXPECT_EQ(clicked[0], "https://example.com/a?b=c");
    }
    EXPECT_EQ(box->linkAt(p.x, p.y), "https://example.com/a?b=c");
    EXPECT_EQ(box->linkAt(kBoxX + 299 + 5, p.y), "");
}

TEST_F(HtmlBox, CopiesSelectionsWithLineFeedsAndSpaces) {
    {
        GuiHtmlBox* box = makeBox(300, 200, "<p>Hallo Welt</p><ul><li>Erster Punkt</li></ul>");
        drag(at(box, 0, 0), at(box, 3, box->fragmentRect(3).w + 5));
        EXPECT_TRUE(box->hasSelection());
        EXPECT_EQ(copy(), "Hallo Welt\nErster Punkt");
        // Part of a word: "llo" .. "We".
        const std::vector<int>& p0 = box->prefixWidths(0);
        const std::vector<int>& p1 = box->prefixWidths(1);
        drag(at(box, 0, p0[2] + 1), at(box, 1, p1[3] + 1));
        EXPECT_EQ(copy(), "llo We");
        box->destroy();
        app.frames(1);
    }
    {
        const int fits = w14("aaa") + w14(" bbb");
        GuiHtmlBox* box = makeBox(fits + 14, 200, "<p>aaa bbb ccc</p>");
        ASSERT_TRUE(box->fragments[2].startsWrappedLine);
        drag(at(box, 0, 0), at(box, 2, box->fragmentRect(2).w - 1));
        EXPECT_EQ(copy(), "aaa bbb ccc");
        // Backwards drags copy the same.
        drag(at(box, 2, box->fragmentRect(2).w - 1), at(box, 0, 0));
        EXPECT_EQ(copy(), "aaa bbb ccc");
        // Without a selection Ctrl+C leaves the clipboard alone.
        box->setSelection({}, {});
        SDL_SetClipboardText("vorher");
        route(app, keyEvent(SDL_KEYDOWN, wid(), SDLK_c, KMOD_LCTRL));
        char* text = SDL_GetClipboardText();
        EXPECT_STREQ(text, "vorher");
        SDL_free(text);
    }
}

TEST_F(HtmlBox, PositionsFollowTheNearestLine) {
    GuiHtmlBox* box = makeBox(300, 200, "<p>eins zwei</p><p>drei</p>");
    const SDL_Rect r0 = box->fragmentRect(0), r2 = box->fragmentRect(2);
    struct Case {
        SDL_Point p;
        HtmlPosition expected;
    };
    const Case cases[] = {
        {{kBoxX + 1, kBoxY + 1}, {0, 0}},           {{kBoxX + r0.w - 1, kBoxY + 1}, {0, 4}},
        {{kBoxX + 250, kBoxY + 2}, {1, 5}},          // right of the line: its last fragment
        {{kBoxX + 1, kBoxY + r0.h + 1}, {0, 0}},     // in the gap, nearer the first line
        {{kBoxX + 1, kBoxY + r2.y - 1}, {2, 0}},     // in the gap, nearer the second
        {{kBoxX + r2.w + 40, kBoxY + 180}, {2, 4}},  // below everything
        {{kBoxX - 5, kBoxY - 5}, {0, 0}},            // above and left
    };
    for (const Case& c : cases) {
        HtmlPosition got = box->positionAt(c.p.x, c.p.y);
        EXPECT_EQ(got.fragment, c.expected.fragment) << c.p.x << "," << c.p.y;
        EXPECT_EQ(got.character, c.expected.character) << c.p.x << "," << c.p.y;
    }
    GuiHtmlBox empty(nullptr, -1, 0, 0, 100, 100, kWhite, nullptr);
    EXPECT_EQ(empty.positionAt(5, 5).fragment, -1);
}

std::string longDocument(int paragraphs) {
    std::string html = "<h1>Anfang</h1>";
    for (int i = 0; i < paragraphs; ++i)
        html += "<p>Absatz " + std::to_string(i) + " mit etwas Text, <b>fett</b> und <a href=\"#" +
                std::to_string(i) + "\">verlinkt</a>.</p>";
    return html + "<p>Ende</p>";
}

TEST_F(HtmlBox, WheelsAndDragsTheThumb) {
    GuiHtmlBox* box = makeBox(300, 200, longDocument(40));
    const int maxScroll = box->documentHeight() - 200;
    ASSERT_GT(maxScroll, 400);
    ASSERT_TRUE(box->vScroll.visible);
    const SDL_Point mid{kBoxX + 100, kBoxY + 100};
    route(app, mouseWheel(wid(), mid.x, mid.y, -1));
    EXPECT_EQ(box->scrollOffset(), 40);
    route(app, mouseWheel(wid(), mid.x, mid.y, -3));
    EXPECT_EQ(box->scrollOffset(), 160);
    route(app, mouseWheel(wid(), mid.x, mid.y, -100000));
    EXPECT_EQ(box->scrollOffset(), maxScroll);
    route(app, mouseWheel(wid(), mid.x, mid.y, 100000));
    EXPECT_EQ(box->scrollOffset(), 0);

    // The thumb dragged by half the free track moves half the scroll range.
    const SDL_Rect thumb = box->vScroll.thumb;
    const int free = 200 - thumb.h;
    press(thumb.x + 5, thumb.y + 5);
    moveTo(thumb.x + 5, thumb.y + 5 + free / 2);
    EXPECT_NEAR(box->scrollOffset(), maxScroll / 2, maxScroll / free + 1);
    moveTo(thumb.x + 5, thumb.y + 5 + free + 50);
    EXPECT_EQ(box->scrollOffset(), maxScroll);
    release(thumb.x + 5, thumb.y + 5 + free + 50);
    EXPECT_FALSE(box->vScroll.dragging);
    EXPECT_FALSE(box->hasSelection());

    // A press on the track pages by the height less 20.
    box->scrollTo(0);
    press(thumb.x + 5, kBoxY + 195);
    release(thumb.x + 5, kBoxY + 195);
    EXPECT_EQ(box->scrollOffset(), 180);
}

TEST_F(HtmlBox, ScrolledViewShowsTheDocumentSlice) {
    GuiHtmlBox* box = makeBox(300, 200, longDocument(100));
    ASSERT_GT(box->documentHeight(), 8 * GuiHtmlBox::kTileHeight);
    // Scrolling through the whole document keeps only the tiles at and next to the view.
    for (int step = 0; step * 100 < box->documentHeight(); ++step) {
        box->scrollTo(step * 100);
        app.renderWindow(rec);
        EXPECT_LE(box->tileCount(), 4u) << "at " << step * 100;
    }
    // The last fragment, "Ende", scrolled into the middle of the view shows there.
    const int last = int(box->fragments.size()) - 1;
    ASSERT_EQ(box->fragmentText(last), "Ende");
    box->scrollTo(box->fragmentRect(last).y - 100);
    SDL_Rect r = box->fragmentRect(last);
    SDL_Rect ink = inkBounds({kBoxX + r.x, kBoxY + r.y - box->scrollOffset(), r.w, r.h});
    EXPECT_GT(ink.w, r.w / 2);
}

TEST_F(HtmlBox, TilesJoinWithoutASeam) {
    GuiHtmlBox* box = makeBox(300, 200,
                              longDocument(30) +
                                  "<ul><li>x</li></ul><table border=1>"
                                  "<tr><td>a</td></tr><tr><td>b</td></tr></table>");
    box->setSelection({0, 0}, {int(box->fragments.size()) - 1, 1});
    const SDL_Rect view{kBoxX, kBoxY, 300 - GuiHtmlBox::kBar, 200};
    for (int scroll : {0, 137, 300, box->documentHeight() - 200}) {
        box->setTileHeight(10000);  // the whole view from one tile
        box->scrollTo(scroll);
        std::vector<SDL_Color> whole = area(view);
        box->setTileHeight(7);  // many borders crossing words, bullets, lines
        std::vector<SDL_Color> tiled = area(view);
        size_t differing = 0;
        for (size_t i = 0; i < whole.size(); ++i)
            differing += !sameColor(whole[i], tiled[i]);
        EXPECT_EQ(differing, 0u) << "scrolled to " << scroll;
    }
}

TEST_F(HtmlBox, WidthChangeRelaysOutHeightChangeOnlyScrolls) {
    GuiHtmlBox* box = makeBox(400, 100, "<p>aaa bbb ccc ddd eee fff ggg</p>");
    ASSERT_EQ(box->fragmentRect(6).y, 0);
    box->height = 50;
    app.renderWindow(rec);
    EXPECT_EQ(box->fragmentRect(6).y, 0);
    box->width = 14 + w14("aaa bbb");
    app.renderWindow(rec);
    EXPECT_GT(box->fragmentRect(6).y, 0);
    EXPECT_EQ(box->layoutWidth(), w14("aaa bbb"));
}

TEST_F(HtmlBox, EmptyDocumentShowsBackgroundOnly) {
    GuiHtmlBox* box = makeBox(100, 50, "");
    EXPECT_EQ(box->documentHeight(), 1);
    EXPECT_FALSE(box->vScroll.visible);
    EXPECT_TRUE(colorIs(pixel(kBoxX + 50, kBoxY + 25), kWhite));
    EXPECT_TRUE(colorIs(pixel(kBoxX + 95, kBoxY + 25), kWhite));
}

}  // namespace
