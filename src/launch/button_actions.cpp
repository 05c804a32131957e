#include "launch/button_actions.h"

#include "core/codec.h"

namespace replybar::launch {

namespace {

// Opens the command file in `folder`, writing it first when it is not there yet. Up to Vista
// only a normal file counts as there (a hidden one of that name is written over: the command
// file in Quick Launch is the bar's own, and a hidden copy of it would leave the button dead);
// later the bar never writes over any file the user has. A new file is put in place only while
// the name is still free, so one the user puts there meanwhile is kept, and opened instead.
void openCommandFile(const ShowDesktopPorts& ports, const std::wstring& folder,
                     bool onlyNormalFiles) {
    if (folder.empty()) {  // the system gave no data folder: nowhere to write
        ports.messages.show(L"无法写入显示桌面命令文件：找不到应用程序数据文件夹。", L"显示桌面",
                            MessageKind::Error);
        return;
    }
    const std::wstring path = folder + kShowDesktopCommandFile;
    auto cannotWrite = [&](const std::wstring& reason) {
        ports.messages.show(L"无法写入显示桌面命令文件：\n" + path + L"\n\n" + reason, L"显示桌面",
                            MessageKind::Error);
    };
    // The shell would open a folder of that name in a window instead of showing the desktop.
    if (ports.files.isFolder(path)) return cannotWrite(L"那里有一个同名的文件夹。");
    if (!(onlyNormalFiles ? ports.files.isNormalFile(path) : ports.files.exists(path))) {
        // Plain ASCII: the GBK form always exists.
        const std::string bytes = codec::toGbk(showDesktopCommandText()).value_or(std::string());
        std::wstring reason;
        const bool written = ports.files.exists(path) ? ports.files.writeAtomic(path, bytes, reason)
                                                      : ports.files.writeNew(path, bytes, reason);
        if (!written && !ports.files.isNormalFile(path)) return cannotWrite(reason);
    }
    ports.shell.open(path);
}

}  // namespace

std::wstring showDesktopCommandText() {
    return L"[Shell]\r\n"
           L"Command = 2\r\n"
           L"IconFile=explorer.exe,3\r\n"
           L"[Taskbar]\r\n"
           L"Command = ToggleDesktop\r\n"
           L"\r\n";
}

void showDesktop(const BarState& state, const ShowDesktopPorts& ports) {
    if (isWindows7OrLater(state.osVersion)) {
        const std::wstring link = state.quickLaunchDir + kShowDesktopLink;
        if (!state.quickLaunchDir.empty() && ports.files.isNormalFile(link))
            return ports.shell.open(link);
        if (ports.files.exists(kDefaultUserShowDesktopLink))
            return ports.shell.open(kDefaultUserShowDesktopLink);
        // Neither shortcut is there on a default installation: the shell's own command does
        // the same. The command file is the last resort, kept out of Quick Launch, where the
        // user would see it as a launcher item.
        if (ports.desktop.toggleDesktop()) return;
        return openCommandFile(ports, state.dataDir, false);
    }
    openCommandFile(ports, state.quickLaunchDir, true);
}

std::wstring homePageToOpen(const std::wstring& homePage, int weekday) {
    const bool weekend = weekday == 1 || weekday == 7;
    if (weekend && homePage.find(kPortalMarker) != std::wstring::npos) return kDefaultHomePage;
    return homePage;
}

PxPoint launcherMenuPosition(PxPoint face) {
    return {face.x + twipsToPixels(kLauncherButtonLeft),
            face.y + twipsToPixels(kLauncherButtonTop)};
}

}  // namespace replybar::launch
