// Recording what a user does: real SDL events go through the demo's main loop while the
// recorder watches, the script it writes is played back by the runner in a fresh demo, and
// both runs must end with the same event log and the same control values.
#include "demo/Demo.h"
#include "demo/DemoRecorder.h"
#include "demo/DemoRunner.h"

#include "controls/ListCtrl.h"
#include "controls/ValueControls.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

namespace {

// What a run leaves behind.
struct Outcome {
    std::deque<std::string> log;
    std::map<std::string, std::string> values;
    int listScrollY = 0;
};

// A demo on a clock the test controls, fed with real SDL events.
class DemoSession {
public:
    DemoSession() {
        EXPECT_TRUE(demo.build());
        clock.fix(1000);
        demo.setClock(&clock);
    }

    AppWindow* main() const { return demo.mainWindow; }
    AppWindow* window(const std::string& title) const {
        for (AppWindow* w : demo.windowList)
            if (w->title == title) return w;
        return nullptr;
    }
    void frames(int n) {
        for (int i = 0; i < n && !demo.quitDone; ++i)
            demo.runFrame();
    }
    void push(SDL_Event e) {
        ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
        frames(2);
    }
    SDL_Point centreOf(AppWindow* w, const std::string& name) {
        GuiObject* obj = w->root->findByName(name);
        if (obj) return SDL_Point{obj->x + obj->width / 2, obj->y + obj->height / 2};
        GuiObject* owner = nullptr;
        SDL_Rect item{0, 0, 0, 0};
        EXPECT_TRUE(w->root->findItem(name, owner, item)) << name;
        return SDL_Point{item.x + item.w / 2, item.y + item.h / 2};
    }
    void moveTo(AppWindow* w, SDL_Point p) {
        push(mouseMotion(w->windowId, p.x - 30, p.y - 10));
        push(mouseMotion(w->windowId, p.x, p.y));
    }
    void clickAt(AppWindow* w, SDL_Point p, uint8_t button = SDL_BUTTON_LEFT) {
        moveTo(w, p);
        frames(10);
        push(mouseButton(SDL_MOUSEBUTTONDOWN, w->windowId, p.x, p.y, button));
        frames(4);
        push(mouseButton(SDL_MOUSEBUTTONUP, w->windowId, p.x, p.y, button));
        frames(20);
    }
    void click(AppWindow* w, const std::string& name) { clickAt(w, centreOf(w, name)); }
    void key(AppWindow* w, SDL_Keycode k, uint16_t mods = 0) {
        push(keyEvent(SDL_KEYDOWN, w->windowId, k, mods));
        push(keyEvent(SDL_KEYUP, w->windowId, k, mods));
        frames(6);
    }
    // Types as a keyboard does: key down, its text, key up, one character after the other.
    void type(AppWindow* w, const std::string& text) {
        for (size_t i = 0; i < text.size();) {
            size_t n = 1;
            while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
                ++n;
            const std::string ch = text.substr(i, n);
            SDL_Keycode k = n == 1 ? static_cast<SDL_Keycode>(std::tolower(ch[0]))
                                   : static_cast<SDL_Keycode>(0xE4);
            push(keyEvent(SDL_KEYDOWN, w->windowId, k));
            SDL_Event t{};
            t.type = SDL_TEXTINPUT;
            t.text.windowID = w->windowId;
            std::memcpy(t.text.text, ch.data(), ch.size());
            push(t);
            push(keyEvent(SDL_KEYUP, w->windowId, k));
            i += n;
        }
        frames(6);
    }
    Outcome outcome(const DemoRecorder& recorder) {
        Outcome o;
        o.log = demo.logLines;
        for (const auto& [name, value] : recorder.valuesOf(main()))
            o.values[name] = value;
        if (auto* list = dynamic_cast<GuiListCtrl*>(main()->root->findByName("list")))
            o.listScrollY = list->scrollY;
        return o;
    }

    Demo demo;
    TestClock clock;
};

// The user's session of the issue: button, check box, text with umlauts and a quote, a Shift
// selection typed over, Alt+D and a menu row, a message box answered, the wheel over the list.
void playUserSession(DemoSession& s) {
    AppWindow* main = s.main();
    s.frames(30);
    s.click(main, "button1");
    s.click(main, "checkbox1");
    GuiObject* text = main->root->findByName("text");
    ASSERT_NE(text, nullptr);
    // Into the text, not at its centre: the caret lands where the click was.
    s.clickAt(main, SDL_Point{text->x + 30, text->y + text->height / 2});
    s.type(main, " Grüße \"Ä\"");
    s.push(keyEvent(SDL_KEYDOWN, main->windowId, SDLK_LSHIFT, KMOD_LSHIFT));
    s.key(main, SDLK_LEFT, KMOD_LSHIFT);
    s.key(main, SDLK_LEFT, KMOD_LSHIFT);
    s.push(keyEvent(SDL_KEYUP, main->windowId, SDLK_LSHIFT));
    s.type(main, "ö");
    s.push(keyEvent(SDL_KEYDOWN, main->windowId, SDLK_LALT, KMOD_LALT));
    s.key(main, SDLK_d, KMOD_LALT);
    s.push(keyEvent(SDL_KEYUP, main->windowId, SDLK_LALT));
    s.click(main, "file_new");
    s.click(main, "dialogs");
    s.click(main, "dlg_msg_yes_no");
    AppWindow* question = s.window("Frage");
    ASSERT_NE(question, nullptr);
    s.frames(40);
    s.click(question, "no");
    s.frames(20);
    const SDL_Point list = s.centreOf(main, "list");
    s.moveTo(main, list);
    for (int i = 0; i < 3; ++i)
        s.push(mouseWheel(main->windowId, list.x, list.y, -1));
    s.push(mouseWheel(main->windowId, list.x, list.y, 1));
    s.frames(200);
}

// Plays script in a fresh demo until the runner ends.
void replay(const std::string& script, DemoSession& s) {
    DemoRunner runner(&s.demo, DemoRunnerSettings{});
    ASSERT_TRUE(runner.parseScript(script)) << runner.error;
    runner.attach();
    for (int i = 0; i < 20000 && runner.state <= DemoRunner::Running; ++i)
        s.demo.runFrame();
    EXPECT_EQ(runner.state, DemoRunner::Finished) << runner.error;
    s.demo.scriptRunner = nullptr;
}

std::unique_ptr<DemoRecorder> makeRecorder(DemoSession& s) {
    auto recorder = std::make_unique<DemoRecorder>(&s.demo, "");
    recorder->exclude(s.demo.gaugeH);
    recorder->exclude(s.demo.gaugeV);
    return recorder;
}

TEST(RecorderTest, ARecordedSessionReplaysToTheSameLogAndValues) {
    std::string script;
    Outcome original;
    {
        DemoSession s;
        auto recorder = makeRecorder(s);
        s.demo.recorder = recorder.get();
        recorder->attach();
        playUserSession(s);
        original = s.outcome(*recorder);
        ASSERT_TRUE(recorder->finish());
        script = recorder->script();
    }
    SCOPED_TRACE(script);
    // The session did what it was meant to.
    const std::deque<std::string> expectedLog = {"Button: button1", "Menü: Neu", "Dialog: Nein"};
    for (const std::string& line : expectedLog)
        EXPECT_NE(std::find(original.log.begin(), original.log.end(), line), original.log.end())
            << line;
    EXPECT_EQ(original.values["checkbox1"], "1");
    // Typed after "Das"; Shift+Left twice selected the Ä and the quote, the ö replaced them.
    EXPECT_EQ(original.values["text"], "Das Grüße \"ö ist ein Text mit einem\tTab");
    EXPECT_GT(original.listScrollY, 0);

    // The script says it in the runner's own words.
    const char* lines[] = {
        "window ZazOvadir",
        "move_to button1",
        "move_to checkbox1",
        "move 640 64",
        "type \" Grüße \\\"Ä\\\"\"",
        "key shift+Left",
        "type \"ö\"",
        "key alt+d",
        "move_to file_new",
        "move_to dialogs",
        "move_to dlg_msg_yes_no",
        "wait_window Frage 5",
        "window Frage",
        "move_to no",
        "wait_command modal_closed 5",
        "wait_window_closed Frage 5",
        "move_to list",
        "wheel -3",
        "wheel 1",
        "expect checkbox1 1",
        "finish",
    };
    for (const char* line : lines)
        EXPECT_NE(script.find(std::string(line) + "\n"), std::string::npos) << line;
    EXPECT_EQ(script.find("wait 2.1"), std::string::npos);

    DemoSession again;
    replay(script, again);
    auto probe = makeRecorder(again);
    const Outcome replayed = again.outcome(*probe);
    EXPECT_EQ(replayed.log, original.log);
    EXPECT_EQ(replayed.values, original.values);
    EXPECT_EQ(replayed.listScrollY, original.listScrollY);
}

TEST(RecorderTest, WhatTheRunnerPlaysIsNotRecorded) {
    DemoSession s;
    auto recorder = makeRecorder(s);
    s.demo.recorder = recorder.get();
    recorder->attach();
    DemoRunner runner(&s.demo, DemoRunnerSettings{});
    ASSERT_TRUE(runner.parseScript("move_to button1\nclick\nkey End\nwait 0.5\n"));
    runner.attach();
    for (int i = 0; i < 2000 && runner.state <= DemoRunner::Running; ++i)
        s.demo.runFrame();
    ASSERT_EQ(runner.state, DemoRunner::Finished) << runner.error;
    s.demo.scriptRunner = nullptr;
    ASSERT_NE(std::find(s.demo.logLines.begin(), s.demo.logLines.end(), "Button: button1"),
              s.demo.logLines.end());
    // A user's click afterwards is.
    s.click(s.main(), "button2");
    ASSERT_TRUE(recorder->finish());
    const std::string& script = recorder->script();
    EXPECT_EQ(script.find("move_to button1"), std::string::npos) << script;
    EXPECT_EQ(script.find("key End"), std::string::npos) << script;
    EXPECT_NE(script.find("move_to button2\nclick\n"), std::string::npos) << script;
    // The log line the runner's click wrote is not the user's to check.
    EXPECT_EQ(script.find("expect log \"Button: button1\""), std::string::npos) << script;
}

// "Beenden" ends the demo: the row that quit is left out so that the replay reaches its checks,
// everything before it is kept.
TEST(RecorderTest, QuittingByTheMenuKeepsEverythingBeforeIt) {
    std::string script;
    {
        DemoSession s;
        auto recorder = makeRecorder(s);
        s.demo.recorder = recorder.get();
        recorder->attach();
        s.click(s.main(), "checkbox2");
        s.click(s.main(), "file");
        s.click(s.main(), "file_quit");
        ASSERT_TRUE(s.demo.quitDone);
        ASSERT_TRUE(recorder->finish());
        script = recorder->script();
    }
    SCOPED_TRACE(script);
    EXPECT_NE(script.find("move_to checkbox2\nclick\n"), std::string::npos);
    EXPECT_NE(script.find("move_to file\nclick\n"), std::string::npos);
    EXPECT_EQ(script.find("file_quit"), std::string::npos);
    EXPECT_NE(script.find("move_to file\nclick\n# Die letzte Aktion beendete das Programm"),
              std::string::npos);
    EXPECT_NE(script.find("expect checkbox2 1\n"), std::string::npos);
    DemoSession again;
    replay(script, again);
    auto probe = makeRecorder(again);
    EXPECT_EQ(again.outcome(*probe).values["checkbox2"], "1");
}

// The window manager's close and SIGTERM (which SDL turns into SDL_QUIT) end the loop as any
// quit does: every action before them is kept, none is taken for the one that quit.
TEST(RecorderTest, WindowCloseAndSigtermEndTheLoopWithTheRecordingComplete) {
    for (bool bySignal : {false, true}) {
        DemoSession s;
        auto recorder = makeRecorder(s);
        s.demo.recorder = recorder.get();
        recorder->attach();
        s.click(s.main(), "radio2");
        if (bySignal) {
            std::raise(SIGTERM);
        } else {
            SDL_Event close{};
            close.type = SDL_WINDOWEVENT;
            close.window.event = SDL_WINDOWEVENT_CLOSE;
            close.window.windowID = s.main()->windowId;
            SDL_PushEvent(&close);
        }
        s.frames(20);
        ASSERT_TRUE(s.demo.quitDone) << bySignal;
        ASSERT_TRUE(recorder->finish());
        const std::string& script = recorder->script();
        EXPECT_NE(script.find("move_to radio2\nclick\n"), std::string::npos) << script;
        EXPECT_NE(script.find("expect radio2 1\n"), std::string::npos) << script;
        EXPECT_EQ(script.find("nicht abgespielt"), std::string::npos) << script;
    }
}

TEST(RecorderTest, AnUnwritableFileIsReportedAtOnceAndTheRecordingGoesOnInMemory) {
    captureSdlLog();
    const std::string path = "/nonexistent-dir/aufnahme.txt";
    DemoRecorder recorder(nullptr, path);
    EXPECT_FALSE(recorder.fileOpen());
    EXPECT_EQ(countLogged("Demo: Aufnahmedatei " + path + " nicht schreibbar"), 1);
    SDL_LogSetOutputFunction(nullptr, nullptr);
}

TEST(RecorderTest, TheFileHoldsTheScriptOnceFinished) {
    const std::string path = ::testing::TempDir() + "recorder_test_script.txt";
    {
        DemoSession s;
        DemoRecorder recorder(&s.demo, path);
        ASSERT_TRUE(recorder.fileOpen());
        s.demo.recorder = &recorder;
        recorder.attach();
        s.click(s.main(), "button2");
        ASSERT_TRUE(recorder.finish());
        // Only the first end writes.
        EXPECT_TRUE(recorder.finish());
    }
    std::ifstream in(path);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_NE(content.str().find("move_to button2\nclick\n"), std::string::npos) << content.str();
    EXPECT_EQ(content.str().substr(content.str().size() - 7), "finish\n");
    std::remove(path.c_str());
}

}  // namespace
