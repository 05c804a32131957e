#include "bar/bar_launcher_win32.h"

#include <utility>

#include "controls/picture_win32.h"
#include "launch/launcher_win32.h"
#include "controls/left_bar_win32.h"

namespace replybar {

namespace {
constexpr UINT_PTR kMenuPointerWatch = static_cast<UINT_PTR>(TimerId::MenuPointerWatch);
constexpr unsigned kMenuPointerWatchMs = 100;  // only while the menu is open
// A click on » before the first build has ended opens the menu when it ends, this soon after.
constexpr DWORD kPendingShowMs = 1500;
constexpr UINT_PTR kContentHandOver = static_cast<UINT_PTR>(TimerId::LauncherContentHandOver);
}  // namespace

BarLauncherMenu::BarLauncherMenu(Context context)
    : context_(std::move(context)), shell_(context_.bar, &context_.messages) {
}

BarLauncherMenu::~BarLauncherMenu() { close(); }

menu::PicturePtr BarLauncherMenu::leftBar() {
    if (!leftBarPicture_) leftBarPicture_ = menu::OlePicture::fromBitmap(menu::makeLeftBarBitmap());
    return leftBarPicture_;
}

// The folder is listed on a worker thread: the bar keeps answering while a slow or offline
// drive takes its time, and the menu is made here when the content arrives.
void BarLauncherMenu::build() {
    if (closed_) return;
    if (!build_)
        build_ = std::make_unique<launch::BackgroundLauncherBuild>(
            context_.queue, [this](launch::LauncherContent content) { onContent(std::move(content)); });
    build_->start(context_.folder());
}

void BarLauncherMenu::onContent(launch::LauncherContent content) {
    // A folder changed since this build started gets a build of its own.
    if (closed_ || content.folder != context_.folder()) return;
    // Replacing the menu under the user's pointer would close it: wait until it closes.
    if (showing_) {
        waiting_ = std::move(content);
        return;
    }
    launch::fillLauncherMenu({menu::MenuHost{&entries_, &context_.menuEvents, &shell_,
                                             context_.exitProgram, [this] { return leftBar(); }},
                              &context_.messages},
                             std::move(content), menu_);
    // A click that came before the first build shows the menu now, if it was a moment ago.
    if (const auto asked = std::exchange(pendingShow_, std::nullopt);
        asked && ::GetTickCount() - asked->at < kPendingShowMs)
        context_.queue.post([this, asked] {
            if (!showing_) show(asked->x, asked->y, asked->face, asked->launchButton);
        });
}

// The old menu's entries would be opened from the new folder, where they are not.
void BarLauncherMenu::show(int x, int y, const RECT& face, const RECT& launchButton) {
    if (closed_) return;
    if (!menu_) {  // the first build is still to come: the menu follows it
        pendingShow_ = PendingShow{x, y, face, launchButton, ::GetTickCount()};
        if (!started()) build();
        return;
    }
    if (entries_.folder != context_.folder()) return;
    ::SetTimer(context_.bar, kMenuPointerWatch, kMenuPointerWatchMs, nullptr);
    showing_ = true;
    launchButton_ = launchButton;
    menu_->PopupMenu(x, y, 0, &face);
    showing_ = false;
    ::KillTimer(context_.bar, kMenuPointerWatch);
    // After the chosen item's WM_COMMAND, which is posted and still refers to this menu: timer
    // messages come only when no posted message is waiting.
    if (waiting_) ::SetTimer(context_.bar, kContentHandOver, 0, nullptr);
}

bool BarLauncherMenu::onTimer(UINT_PTR id) {
    if (id == kMenuPointerWatch) {
        watchPointer();
        return true;
    }
    if (id != kContentHandOver) return false;
    ::KillTimer(context_.bar, kContentHandOver);
    if (auto content = std::exchange(waiting_, std::nullopt)) onContent(std::move(*content));
    return true;
}

// The menu's owner hears of no pointer moves outside its own windows: the popup's window is
// looked at instead.
void BarLauncherMenu::watchPointer() {
    HWND menuWindow = nullptr;  // the popup menu's window, on this thread
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND h, LPARAM found) -> BOOL {
            wchar_t cls[16] = {};
            ::GetClassNameW(h, cls, 16);
            if (::lstrcmpW(cls, L"#32768") != 0 || !::IsWindowVisible(h)) return TRUE;
            *reinterpret_cast<HWND*>(found) = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&menuWindow));
    if (!menuWindow) return;
    RECT r{};
    POINT p{};
    ::GetWindowRect(menuWindow, &r);
    ::GetCursorPos(&p);
    using Where = launch::MenuPointer;
    Where where = ::PtInRect(&r, p) ? Where::OverMenu : Where::Away;
    if (where == Where::Away && menu_ && menu_->openedBeside() && ::PtInRect(&launchButton_, p))
        where = Where::OnLaunchButton;
    context_.watchPointer(where);
}

void BarLauncherMenu::close() {
    closed_ = true;
    menu_.reset();  // takes the menu hook off the menu's owner window and destroys the popup menu
}

}  // namespace replybar
