// The bar face's rules and its panel with recording fakes around them: the fixture of the
// controller's and the panel's tests.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "bar/bar_controller.h"
#include "core/key_settings.h"
#include "core/keystrokes.h"
#include "fakes.h"

namespace replybar::testing {


struct FakeWindow : IBarWindow {
    void setBounds(const PxRect& r) override { bounds.push_back(r); }
    void setRegion(const std::vector<PxRect>& r) override { region = r; }
    void invalidate() override { ++paints; }
    PxPoint cursorPos() override { return cursor; }
    PxRect workArea() override { return monitor; }
    std::vector<PxRect> bounds;
    PxRect monitor{0, 0, 1280, 800};
    std::vector<PxRect> region;
    PxPoint cursor;
    int paints = 0;
};

struct FakeActions : IBarActions {
    void openSettingsDialog() override { log.push_back(L"settings"); }
    void openReplyEditor(int row) override {
        log.push_back(L"editor");
        editorRow = row;
    }
    void runButtonAction(BarButton b) override {
        log.push_back(L"action" + std::to_wstring(int(b)));
    }
    void closeLauncherMenu() override { log.push_back(L"close menu"); }
    void openReplyEditorToAdd(const std::wstring& text, int icon) override {
        log.push_back(L"add " + text + (icon >= 0 ? L" icon " + std::to_wstring(icon) : L""));
    }
    void repliesIdle() override { ++idle; }
    void openAgentNameSetting() override { log.push_back(L"agent name"); }
    void replyPicked(const std::wstring& group, const std::wstring& text) override {
        log.push_back(L"picked " + group + L"|" + text);
    }
    std::vector<std::wstring> log;
    int editorRow = -1;  // the row the editor last opened on
    int idle = 0;        // times the team's groups were free to change
};

constexpr PxRect kBar{159, 771, 262, 800};
// The team's groups of a test, which the test keeps and may change.
inline TeamGroups borrowed(const std::vector<ReplyGroup>& groups) { return {std::shared_ptr<void>(), &groups}; }
inline const Target kStrip{Target::DragStrip, 0};
inline Target button(BarButton b) { return {Target::Button, static_cast<int>(b)}; }
inline Target text(int row) { return {Target::RowText, row}; }
inline Target icon(int row) { return {Target::RowIcon, row}; }
inline const Target kBackground{Target::PanelBackground, 0};
constexpr auto L = MouseButton::Left, R = MouseButton::Right;

class BarControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        replies.rows.resize(6);
        replies.autoSend = true;
        for (int i = 0; i < 6; ++i) replies.rows[i].fullText = L"reply " + std::to_wstring(i);
        bar.panel().setOwnSize(panelSizeFor(6));
        bar.setWindowRect(kBar);
    }
    // The middle of a bar button in window pixels, or the corner for the other targets.
    PxPoint middleOf(const Target& t) const {
        if (t.kind != Target::Button) return {};
        const PxRect r = BarController::buttonRect(static_cast<BarButton>(t.index));
        const PxPoint face = bar.faceOrigin();
        return {face.x + (r.left + r.right) / 2, face.y + (r.top + r.bottom) / 2};
    }
    void release(const Target& t, MouseButton b = L) {
        bar.mouseUp(t, b, middleOf(t).x, middleOf(t).y);
    }
    void click(const Target& t, MouseButton b = L) {
        bar.mouseDown(t, b, middleOf(t).x, middleOf(t).y);
        release(t, b);
    }
    // The hotkey, and the panel on screen.
    void openByKey() {
        bar.hotkeyPressed();
        bar.keyboardPanelShown();
    }
    // Time passes; the pick's timer fires when due.
    void elapse(unsigned ms) {
        for (unsigned i = 0; i < ms; ++i) {
            ++clock.now;
            if (timers.due(TimerId::PickStep)) bar.timerTick(TimerId::PickStep);
        }
    }

    Replies replies;
    FakeWindow window;
    FakeClock clock;
    FakeTimers timers{&clock};
    FakeClipboard clipboard;
    FakeKeys keys{&clock};
    FakeMessages messages;
    FakeActions actions;
    FakeTarget target;
    FakeHotkeys hotkeys;
    FakeBox blanks;
    std::wstring agent = L"小王";
    BarController bar{replies,
                      {window, timers, clipboard, keys, messages, actions, target, clock, hotkeys,
                       blanks, [this] { return agent; }}};
};

}  // namespace replybar::testing
