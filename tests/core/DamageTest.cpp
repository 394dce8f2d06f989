// What a frame draws in a window drawn on demand: the children a change meets and, again, those
// overlapping them; nothing where nothing changed; nothing at all, not even a present, in a
// frame or a window without change.
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr SDL_Color kGrey{200, 200, 200, 255};

class Damage : public ::testing::Test {
protected:
    void SetUp() override {
        app.verifyDamage = false;  // its reference draws would count as draws here
        rec = app.openMain(200, 100, kGrey);
        ASSERT_NE(rec, nullptr);
        // a overlaps b, b overlaps c; d stands apart.
        a = add(new ProbeWidget(10, 10, 30, 30, {255, 0, 0, 255}));
        b = add(new ProbeWidget(30, 30, 30, 30, {0, 255, 0, 255}));
        c = add(new ProbeWidget(55, 55, 30, 30, {0, 0, 255, 255}));
        d = add(new ProbeWidget(150, 10, 20, 20, {90, 90, 0, 255}));
        app.clock.fix(10000);
        app.runFor(50);
        app.presents = 0;
        for (ProbeWidget* p : {a, b, c, d})
            p->draws = 0;
    }
    ProbeWidget* add(ProbeWidget* p) {
        rec->root->addChild(p);
        return p;
    }
    std::vector<int> draws() const { return {a->draws, b->draws, c->draws, d->draws}; }
    SDL_Color shownAt(int x, int y) {
        SDL_Color out{};
        app.beforePresent = [&](AppWindow* w) { out = readPixel(w->sdlRenderer(), x, y); };
        app.runFor(1);
        app.beforePresent = nullptr;
        return out;
    }

    TestApp app;
    AppWindow* rec = nullptr;
    ProbeWidget *a = nullptr, *b = nullptr, *c = nullptr, *d = nullptr;
};

TEST_F(Damage, AChangeRedrawsWhatItMeetsAndWhatOverlapsThatButNothingElse) {
    a->invalidate();
    app.runFor(100);
    EXPECT_EQ(draws(), (std::vector<int>{1, 1, 1, 0}));
    EXPECT_EQ(app.presents, 1);
    d->invalidate();
    app.runFor(100);
    EXPECT_EQ(draws(), (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(app.presents, 2);
    app.requestRedraw();  // everything
    app.runFor(100);
    EXPECT_EQ(draws(), (std::vector<int>{2, 2, 2, 2}));
}

TEST_F(Damage, AChildMovedWithoutTellingIsRedrawnAtItsOldAndNewPlace) {
    d->x = 100;  // no invalidate: the frame that draws for something else still finds it
    a->invalidate();
    EXPECT_TRUE(sameColor(shownAt(155, 15), kGrey));
    EXPECT_TRUE(sameColor(readPixel(rec->sdlRenderer(), 105, 15), d->bgColor));
    EXPECT_EQ(d->draws, 1);
}

TEST_F(Damage, AWindowWithoutChangeIsNeitherDrawnNorPresented) {
    AppWindow* second = app.createDialogWindow("Zweites", 0, 0, 100, 100, SDL_WINDOW_SHOWN, kGrey);
    ASSERT_NE(second, nullptr);
    auto* other = new ProbeWidget(10, 10, 20, 20);
    second->root->addChild(other);
    app.runFor(50);
    for (ProbeWidget* p : {a, b, c, d})
        p->draws = 0;
    std::vector<uint32_t> presented;
    app.beforePresent = [&](AppWindow* w) { presented.push_back(w->windowId); };
    other->draws = 0;
    other->invalidate();
    app.runFor(100);
    EXPECT_EQ(presented, (std::vector<uint32_t>{second->windowId}));
    EXPECT_EQ(draws(), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(other->draws, 1);
    app.beforePresent = nullptr;
}

TEST_F(Damage, DrawingEverythingStaysAvailable) {
    app.drawDamageOnly = false;
    d->invalidate();
    app.runFor(100);
    EXPECT_EQ(draws(), (std::vector<int>{1, 1, 1, 1}));
}

}  // namespace
