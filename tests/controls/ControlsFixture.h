// A window on the software renderer for control tests: real SDL events in, pixels out.
#pragma once

#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

class ControlsTest : public ::testing::Test {
protected:
    static constexpr SDL_Color kWindowGrey{200, 200, 200, 255};

    void SetUp() override {
        rec = app.openMain(320, 240, kWindowGrey);
        ASSERT_NE(rec, nullptr);
        root = rec->root.get();
        font = app.getDefaultFont();
        ASSERT_NE(font, nullptr) << "data/fonts/Vera.ttf is staged for the tests";
    }

    template <typename T>
    T* add(T* obj) {
        root->addChild(obj);
        return obj;
    }

    // Draws one frame and reads the given pixels before presenting.
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

    // The rows of a rectangle holding a pixel darker than `limit` in red (text ink).
    int firstInkRow(SDL_Rect area, int limit = 100) {
        std::vector<SDL_Point> points;
        for (int y = area.y; y < area.y + area.h; ++y)
            for (int x = area.x; x < area.x + area.w; ++x)
                points.push_back({x, y});
        std::vector<SDL_Color> px = pixels(points);
        for (size_t i = 0; i < px.size(); ++i)
            if (px[i].r < limit) return points[i].y;
        return -1;
    }

    // Bounding box of the text ink in a rectangle: the pixels dark in every channel (below
    // `limit`); empty (w and h 0) when nothing is drawn there.
    SDL_Rect inkBox(SDL_Rect area, int limit = 100) {
        std::vector<SDL_Point> points;
        for (int y = area.y; y < area.y + area.h; ++y)
            for (int x = area.x; x < area.x + area.w; ++x)
                points.push_back({x, y});
        std::vector<SDL_Color> px = pixels(points);
        int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
        for (size_t i = 0; i < px.size(); ++i) {
            if (px[i].r >= limit || px[i].g >= limit || px[i].b >= limit) continue;
            left = std::min(left, points[i].x);
            right = std::max(right, points[i].x);
            top = std::min(top, points[i].y);
            bottom = std::max(bottom, points[i].y);
        }
        if (right < left) return SDL_Rect{0, 0, 0, 0};
        return SDL_Rect{left, top, right - left + 1, bottom - top + 1};
    }

    void press(int x, int y) { route(app, mouseButton(SDL_MOUSEBUTTONDOWN, id(), x, y)); }
    void release(int x, int y) { route(app, mouseButton(SDL_MOUSEBUTTONUP, id(), x, y)); }
    void moveTo(int x, int y) { route(app, mouseMotion(id(), x, y)); }
    void click(int x, int y) {
        press(x, y);
        release(x, y);
    }
    uint32_t id() const { return rec->windowId; }
    size_t commandsWithCode(uint32_t code) const {
        size_t n = 0;
        for (const auto& c : app.commands)
            n += c.code == code;
        return n;
    }

    TestApp app;
    AppWindow* rec = nullptr;
    GuiWindow* root = nullptr;
    TTF_Font* font = nullptr;
};

inline ::testing::AssertionResult colorIs(SDL_Color actual, SDL_Color expected) {
    if (actual.r == expected.r && actual.g == expected.g && actual.b == expected.b)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << int(actual.r) << "," << int(actual.g) << ","
                                         << int(actual.b) << "), expected (" << int(expected.r)
                                         << "," << int(expected.g) << "," << int(expected.b) << ")";
}
