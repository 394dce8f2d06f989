// A frame-rate-limited cairo panel in an application that draws on demand: a change held back
// by the limit is shown when the interval has passed, without anything else waking the loop.
#include "rich/Panels.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

namespace {

TEST(CairoIdle, HeldBackChangeIsUploadedWhenTheIntervalEnds) {
    TestApp app;
    AppWindow* rec = app.openMain(200, 200);
    ASSERT_NE(rec, nullptr);
    auto* panel =
        new GuiCairoPanel(nullptr, 1, 10, 10, 100, 100, {255, 255, 255, 255}, rec->sdlRenderer());
    rec->root->addChild(panel);
    panel->setMaxFps(10);  // at most one upload per 100 ms
    app.clock.fix(1000);
    app.frames(3);
    ASSERT_EQ(panel->uploads(), 1);
    app.runFor(500);  // idle: nothing to upload, nothing to wait for
    EXPECT_EQ(app.clock.waits.back(), kNoDeadline);
    panel->markDirty();
    app.frames(1);
    ASSERT_EQ(panel->uploads(), 2);
    const uint32_t uploadedAt = panel->lastUpload;

    app.addTimer(20, [&] { panel->markDirty(); });  // 20 ms after an upload: held back
    app.clock.waits.clear();
    int frames = app.runFor(300);
    EXPECT_EQ(panel->uploads(), 3);
    EXPECT_EQ(panel->lastUpload, uploadedAt + 100);
    EXPECT_LE(frames, 8);
    EXPECT_EQ(app.clock.waits.back(), kNoDeadline);
}

}  // namespace
