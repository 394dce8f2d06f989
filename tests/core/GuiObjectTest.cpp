#include "core/GuiObject.h"

#include <gtest/gtest.h>

namespace {

class Plain : public GuiObject {
public:
    Plain(int x, int y, int w, int h) : GuiObject(nullptr, 3, x, y, w, h, {1, 2, 3, 255}) {}
    void handleEvent(GuiEvent&) override {}
};

TEST(GuiObject, HitTestIsHalfOpen) {
    Plain p(10, 20, 30, 40);
    EXPECT_EQ(p.hitTest(10, 20), &p);
    EXPECT_EQ(p.hitTest(39, 59), &p);
    EXPECT_EQ(p.hitTest(40, 20), nullptr);
    EXPECT_EQ(p.hitTest(10, 60), nullptr);
    EXPECT_EQ(p.hitTest(9, 20), nullptr);
}

TEST(GuiObject, FindByNameNeverMatchesEmptyName) {
    Plain p(0, 0, 1, 1);
    EXPECT_EQ(p.findByName(""), nullptr);
    p.setName("knopf");
    EXPECT_EQ(p.findByName("knopf"), &p);
    EXPECT_EQ(p.findByName(""), nullptr);
    EXPECT_EQ(p.findByName("Knopf"), nullptr);
}

TEST(GuiObject, ConstructorDefaults) {
    Plain p(5, 6, 7, 8);
    EXPECT_EQ(p.relX, 5);
    EXPECT_EQ(p.relY, 6);
    EXPECT_TRUE(p.dirty);
    EXPECT_FALSE(p.hasFocus);
    EXPECT_EQ(p.window, nullptr);
    EXPECT_STREQ(p.className(), "GuiObject");
    std::string v;
    EXPECT_FALSE(p.getValue(v));
    EXPECT_FALSE(p.setValue("1"));
    GuiObject* owner = nullptr;
    SDL_Rect r{};
    EXPECT_FALSE(p.findItem("x", owner, r));
}

TEST(GuiObject, DestroyWithoutWindowLeavesTheObjectToItsOwner) {
    struct Counted : Plain {
        explicit Counted(int& deaths) : Plain(0, 0, 1, 1), deaths(deaths) {}
        ~Counted() override { ++deaths; }
        int& deaths;
    };
    int deaths = 0;
    auto* p = new Counted(deaths);
    p->destroy();  // no window to defer to: the object must stay alive
    EXPECT_EQ(deaths, 0);
    delete p;
    EXPECT_EQ(deaths, 1);
}

TEST(ValueText, ParseBool) {
    struct Case {
        const char* text;
        bool ok;
        bool value;
    } cases[] = {{"1", true, true},      {"true", true, true},   {"0", true, false},
                 {"false", true, false}, {"TRUE", false, false}, {"True", false, false},
                 {"", false, false},     {" 1", false, false},   {"yes", false, false}};
    for (const Case& c : cases) {
        bool out = !c.value;  // must stay unchanged on failure
        bool before = out;
        EXPECT_EQ(parseBool(c.text, out), c.ok) << c.text;
        EXPECT_EQ(out, c.ok ? c.value : before) << c.text;
    }
}

TEST(ValueText, ParseNumber) {
    double v = -7;
    EXPECT_TRUE(parseNumber("1.5", v));
    EXPECT_DOUBLE_EQ(v, 1.5);
    v = -7;
    EXPECT_FALSE(parseNumber("1.5a", v));
    EXPECT_FALSE(parseNumber("1,5", v));
    EXPECT_FALSE(parseNumber("", v));
    EXPECT_FALSE(parseNumber("abc", v));
    EXPECT_DOUBLE_EQ(v, -7);
    EXPECT_TRUE(parseNumber("-2e3", v));
    EXPECT_DOUBLE_EQ(v, -2000);
}

TEST(ValueText, FormatNumberUsesFifteenDigitsAndClassicLocale) {
    EXPECT_EQ(formatNumber(42), "42");
    EXPECT_EQ(formatNumber(0.5), "0.5");
    EXPECT_EQ(formatNumber(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(formatNumber(1e20), "1e+20");
    EXPECT_EQ(formatNumber(-12.25), "-12.25");
}

}  // namespace
