// SettingsWindow's rules, " 软件信息 及 设置": the launch folder, the home page, the hotkey, the
// key auto-send presses, starting with Windows, the agent's name and the team library are edited
// here, on a copy of the settings in use, and reach the bar, the registry and the logon entry
// only through "确定 返回"; every other way out leaves everything as it was.
// The dialog window forwards its events here and shows what it is told through ISettingsView.
#pragma once

#include <string>

#include "core/bar_state.h"
#include "core/ports.h"
#include "core/settings.h"
#include "core/version.h"

namespace replybar::settings {

// The maker's details in the information frame.
inline constexpr wchar_t kProductLine[] = L"软件名称： 快捷回复条 " REPLYBAR_VERSION_SHORT_W;
inline constexpr wchar_t kWebSite[] = L"https://www.example.com/replybar/";
inline constexpr wchar_t kMailAddress[] = L"replybar@example.com";
inline constexpr wchar_t kContactLine[] = L"联系号码： 10000";
inline constexpr wchar_t kDownloadPage[] = L"https://www.example.com/replybar/download/";

enum class Link { WebSite, Mail, Download };

// What the dialog's controls show. Setting a control from here raises none of its events.
class ISettingsView {
public:
    virtual ~ISettingsView() = default;
    virtual std::wstring folderText() = 0;  // the folder picker's text
    virtual void setFolderText(const std::wstring& text) = 0;
    virtual void focusFolder() = 0;
    virtual std::wstring homeText() = 0;  // the home page field
    virtual void setHomeText(const std::wstring& text) = 0;
    virtual void enableHome(bool on) = 0;
    virtual void focusHome() = 0;
    // The hotkey field, in the word of the common controls' hotkey control.
    virtual std::uint16_t hotkeyWord() = 0;
    virtual void setHotkeyWord(std::uint16_t word) = 0;
    virtual void focusHotkey() = 0;
    virtual keys::SendKey sendKey() = 0;
    virtual void setSendKey(keys::SendKey key) = 0;
    virtual bool startWithWindows() = 0;  // "开机时自动启动快捷回复条"
    virtual void setStartWithWindows(bool on) = 0;
    // Beside the start box: why an entry there is not ticked ("" for nothing to say).
    virtual void setStartNote(const std::wstring& note) = 0;
    virtual std::wstring teamLibraryText() = 0;  // the team library's location field
    virtual void setTeamLibraryText(const std::wstring& text) = 0;
    virtual void focusTeamLibrary() = 0;
    virtual void setTeamLibraryStatus(const std::wstring& status) = 0;  // one line under it
    virtual std::wstring agentNameText() = 0;  // "我的称呼"
    virtual void setAgentNameText(const std::wstring& text) = 0;
    virtual void focusAgentName() = 0;
    // The system's file-open dialog for a CSV file, opening at `initial` when that is a path;
    // the chosen file's full path, or none when the user cancelled.
    virtual std::optional<std::wstring> chooseTeamLibraryFile(const std::wstring& initial) = 0;
    virtual void close() = 0;
};

// The bar, as the dialog sees it.
class ISettingsHost {
public:
    virtual ~ISettingsHost() = default;
    // The settings the bar runs with, and the folder it lists when none is set.
    virtual const Settings& settingsInUse() = 0;
    virtual std::wstring launchFolderInUse() = 0;
    // False when another program owns the combination (the bar's own is not: the dialog holds
    // it released).
    virtual bool hotkeyAvailable(const keys::Hotkey& hotkey) = 0;
    // The confirmed choice, to be taken over as the settings in use (settings_in_use.h).
    virtual void takeSettings(const Settings& chosen) = 0;
    virtual void resetButtonPictures() = 0;  // the three button pictures normal
    // What the bar has of its team library, one line; "" when there is none.
    virtual std::wstring teamLibraryStatus() = 0;
    // A path on a mapped network drive as the share's own (\\server\share\…), which a bar
    // that runs elevated, or starts before the drive reconnects at logon, still reaches; nothing
    // for any other path.
    virtual std::optional<std::wstring> shareFormOf(const std::wstring& path) = 0;
    // The other way: a share's path as the user's mapped drive reaches it, where one does.
    virtual std::optional<std::wstring> driveFormOf(const std::wstring& sharePath) = 0;
};

// How the dialog ended; what follows its closing is the bar's to do.
enum class SettingsOutcome { Discarded, Confirmed, OpenReplyEditor, ExitProgram };

class SettingsDialog {
public:
    struct Ports {
        IShell& shell;
        IMessages& messages;
        IRunAtLogon& runAtLogon;
        std::wstring exePath;  // the running program, as the logon entry names it
    };
    // `state` gives the Quick Launch folder "默认" puts back.
    SettingsDialog(const BarState& state, Ports ports, ISettingsView& view, ISettingsHost& host);

    // On the settings in use, the home page field disabled; the start box as the logon entry
    // and Task Manager's switch stand now; the team library with the bar's status of it.
    void open();
    void openFolderClicked();     // "打开文件夹"
    void defaultFolderClicked();  // "默认" by the folder
    void setHomeClicked();        // "设置" by the home page
    void defaultHomeClicked();    // "默认" by the home page
    void chooseTeamLibraryClicked();  // "选择…" by the team library
    // "确定 返回", Enter. A team library location that cannot be one, or a hotkey that cannot be
    // one or that another program owns, is refused with a message and the dialog stays open on
    // it, nothing taken over.
    void confirmClicked();
    void exitClicked();           // "退出本程序"
    void addRepliesClicked();     // "添加快捷回复信息"
    void linkClicked(Link link);
    void cancelled();  // the close box, Esc
    // A moment while open: the team library's status line follows what the bar says now (a new
    // version, an outage).
    void teamLibraryStatusDue();

    SettingsOutcome outcome() const { return outcome_; }

private:
    void finish(SettingsOutcome outcome);
    bool takeHotkey(keys::Hotkey& chosen);
    void takeStartWithWindows(bool on);
    bool checkTeamLibraryField(std::wstring& location);
    std::wstring teamLibraryFieldText();

    const BarState& state_;
    Ports ports_;
    ISettingsView& view_;
    ISettingsHost& host_;
    SettingsOutcome outcome_ = SettingsOutcome::Discarded;
    Settings settings_;  // the settings in use as the dialog opened
    std::wstring teamStatusShown_;
};

}  // namespace replybar::settings
