// SettingsWindow: the settings and information dialog, " 软件信息 及 设置". Modal over the bar; its
// rules live in SettingsDialog, this window lays out the controls and forwards their events.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "controls/folder_browser_win32.h"
#include "launch/settings_dialog.h"
#include "win/handles.h"
#include "win/shell_win32.h"

namespace replybar::launch {

class SettingsWindow : private ISettingsView {
public:
    struct Context {
        HWND owner;  // the bar, disabled while the dialog is open
        BarState& state;
        ISettingsHost& bar;
        HWND userWindow;  // where the user was typing: it gets the foreground back at the end
    };
    static SettingsOutcome showModal(const Context& context);

    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;

private:
    explicit SettingsWindow(const Context& context);
    void createControls();
    void createInformation();
    HWND link(const wchar_t* caption, const wchar_t* address, int x, int y, int id);
    void onCommand(int id, int code);
    bool onSetCursor(HWND over);

    // ISettingsView
    std::wstring folderText() override;
    void setFolderText(const std::wstring& text) override;
    void focusFolder() override;
    std::wstring homeText() override;
    void setHomeText(const std::wstring& text) override;
    void enableHome(bool on) override;
    void focusHome() override;
    void close() override;

    Context context_;
    win::ShellOpener shell_;  // owned by the dialog
    SettingsDialog dialog_;
    win::UniqueFont font_;
    std::unique_ptr<controls::FolderBrowser> folder_;  // FolderBrowser1
    HWND text2_ = nullptr;                              // the home page
    std::vector<HWND> links_;
    bool done_ = false;
};

}  // namespace replybar::launch
