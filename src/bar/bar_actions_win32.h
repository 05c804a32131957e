// What the bar face's rules and the launcher menu ask of the rest of the bar, each handed on to
// the part that does it: the dialogs, the buttons' actions, the launcher menu, the history, the
// team library's news. The bar window fills it in; it holds no state of its own.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "bar/bar_controller.h"
#include "controls/menu_window_win32.h"

namespace replybar {

struct BarActions : IBarActions, menu::IMenuPointerEvents {
    std::function<void()> settingsDialog;
    std::function<void(int row, std::optional<std::wstring> text, int icon)> replyEditor;
    std::function<void(BarButton)> buttonAction;
    std::function<void()> closeMenu;
    std::function<void(const std::wstring& group, const std::wstring& text)> picked;
    std::function<void()> idle;
    std::function<void()> agentNameSetting;
    BarController* controller = nullptr;  // hears the launcher menu's pointer

    void openSettingsDialog() override { settingsDialog(); }
    void openReplyEditor(int row) override { replyEditor(row, std::nullopt, 0); }
    void openReplyEditorToAdd(const std::wstring& text, int icon) override {
        replyEditor(0, text, icon);
    }
    void runButtonAction(BarButton button) override { buttonAction(button); }
    void closeLauncherMenu() override { closeMenu(); }
    void replyPicked(const std::wstring& group, const std::wstring& text) override {
        picked(group, text);
    }
    void repliesIdle() override { idle(); }
    void openAgentNameSetting() override { agentNameSetting(); }
    void itemSelected() override { controller->menuItemSelected(); }
    void itemLeft() override { controller->menuItemLeft(); }
};

}  // namespace replybar
