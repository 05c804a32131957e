// SettingsWindow's rules, " 软件信息 及 设置": the launch folder and the home page are edited here and
// reach the bar only through "确定 返回"; every other way out leaves the bar as it was. The
// dialog window forwards its events here and shows what it is told through ISettingsView.
#pragma once

#include <string>

#include "core/bar_state.h"
#include "core/ports.h"
#include "core/version.h"

namespace replybar::launch {

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
    virtual std::wstring folderText() = 0;  // FolderBrowser1
    virtual void setFolderText(const std::wstring& text) = 0;
    virtual void focusFolder() = 0;
    virtual std::wstring homeText() = 0;  // the home page field
    virtual void setHomeText(const std::wstring& text) = 0;
    virtual void enableHome(bool on) = 0;
    virtual void focusHome() = 0;
    virtual void close() = 0;
};

// The bar, as a confirmation changes it.
class ISettingsHost {
public:
    virtual ~ISettingsHost() = default;
    virtual void resetButtonPictures() = 0;  // the three button pictures normal
    virtual void rebuildLauncherMenu() = 0;  // build again: the menu follows the new folder
    virtual void saveSettings() = 0;         // the settings string to the registry, now
};

// How the dialog ended; what follows its closing is the bar's to do.
enum class SettingsOutcome { Discarded, Confirmed, OpenReplyEditor, ExitProgram };

class SettingsDialog {
public:
    SettingsDialog(BarState& state, IShell& shell, ISettingsView& view, ISettingsHost& host);

    void open();                  // from the bar's launchFolder and homePage, the home page field disabled
    void openFolderClicked();     // "打开文件夹"
    void defaultFolderClicked();  // "默认" by the folder
    void setHomeClicked();        // "设置" by the home page
    void defaultHomeClicked();    // "默认" by the home page
    void confirmClicked();        // "确定 返回", Enter
    void exitClicked();           // "退出本程序"
    void addRepliesClicked();     // "添加快捷回复信息"
    void linkClicked(Link link);
    void cancelled();  // the close box, Esc

    SettingsOutcome outcome() const { return outcome_; }

private:
    void finish(SettingsOutcome outcome);

    BarState& state_;
    IShell& shell_;
    ISettingsView& view_;
    ISettingsHost& host_;
    SettingsOutcome outcome_ = SettingsOutcome::Discarded;
};

}  // namespace replybar::launch
