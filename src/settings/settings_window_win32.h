// SettingsWindow: the settings and information dialog, " 软件信息 及 设置". Modal over the bar; its
// rules live in SettingsDialog, this window lays out the controls and forwards their events.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "controls/folder_browser_win32.h"
#include "settings/settings_dialog.h"
#include "win/handles.h"
#include "win/messages_win32.h"
#include "win/run_at_logon_win32.h"
#include "win/shell_win32.h"

namespace replybar::settings {

class SettingsWindow : private ISettingsView {
public:
    struct Context {
        HWND owner;  // the bar, disabled while the dialog is open
        const BarState& state;  // the Quick Launch folder
        ISettingsHost& bar;
        HWND userWindow;  // where the user was typing: it gets the foreground back at the end
        bool atAgentName = false;  // "我的称呼" has the keyboard first, not the folder
    };
    static SettingsOutcome showModal(const Context& context);

    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;

private:
    explicit SettingsWindow(const Context& context);
    void createControls();
    HWND control(const wchar_t* cls, const wchar_t* text, DWORD style, const RECT& r, int id,
                 DWORD exStyle = 0);
    void createInformation();
    void createKeysFrame();
    void createTeamLibraryFrame();
    void updateSendKeyTabStop();
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
    std::uint16_t hotkeyWord() override;
    void setHotkeyWord(std::uint16_t word) override;
    void focusHotkey() override;
    keys::SendKey sendKey() override;
    void setSendKey(keys::SendKey key) override;
    bool startWithWindows() override;
    void setStartWithWindows(bool on) override;
    void setStartNote(const std::wstring& note) override;
    std::wstring teamLibraryText() override;
    void setTeamLibraryText(const std::wstring& text) override;
    void focusTeamLibrary() override;
    void setTeamLibraryStatus(const std::wstring& status) override;
    std::optional<std::wstring> chooseTeamLibraryFile(const std::wstring& initial) override;
    std::wstring agentNameText() override;
    void setAgentNameText(const std::wstring& text) override;
    void focusAgentName() override;
    void close() override;
    void setTip(HWND control, const std::wstring& text);

    Context context_;
    win::ShellOpener shell_;      // owned by the dialog
    win::MessageBoxes messages_;  // owned by the dialog
    win::RunAtLogon runAtLogon_;
    SettingsDialog dialog_;
    win::UniqueFont font_;
    std::unique_ptr<controls::FolderBrowser> folder_;  // the launch folder's picker
    HWND homeField_ = nullptr;
    HWND hotkeyField_ = nullptr;
    HWND sendCtrlEnter_ = nullptr, sendEnter_ = nullptr;  // the send key's two choices
    HWND startWithWindows_ = nullptr;
    HWND startNote_ = nullptr;  // beside the start box
    HWND noteTip_ = nullptr;    // the whole note or status, where it is cut short
    HWND agentField_ = nullptr;  // "我的称呼"
    HWND agentHint_ = nullptr;   // beside it, in grey
    HWND teamField_ = nullptr;  // the team library's location
    HWND teamHint_ = nullptr;   // under it, in grey
    HWND teamStatus_ = nullptr;
    std::vector<HWND> links_;
    bool done_ = false;
};

}  // namespace replybar::settings
