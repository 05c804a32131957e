// The narrow interfaces through which the logic asks the desktop for what only it can do. Each
// has one Win32 implementation (src/win, *_win32.cpp) and a recording fake in the unit tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "core/keystrokes.h"
#include "core/local_time.h"

namespace replybar {

// The bar's own window, as its rules move, shape and paint it.
class IBarWindow {
public:
    virtual ~IBarWindow() = default;
    // Screen position and size of the window, pixels.
    virtual void setBounds(const PxRect& screenRect) = 0;
    // The window's shape: the union of CreateRoundRectRgn(l, t, r, b, 0, 0) of each rectangle;
    // none given: the whole window.
    virtual void setRegion(const std::vector<PxRect>& roundRectArgs) = 0;
    virtual void invalidate() = 0;
    virtual PxPoint cursorPos() = 0;  // screen pixels
    // The work area of the monitor the bar is on (the monitor less the taskbar), screen pixels:
    // the panel never opens under the taskbar.
    virtual PxRect workArea() = 0;
};

// Message boxes and modal dialogs.
enum class MessageKind { Info, Error, Question };
enum class MessageAnswer { Ok, Yes, No };

class IMessages {
public:
    virtual ~IMessages() = default;
    // Shows a modal message box owned by the bar; Question offers Yes and No, the others OK only.
    virtual MessageAnswer show(const std::wstring& text, const std::wstring& title,
                               MessageKind kind) = 0;
};

// The settings string's home in the registry.
class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    // The stored text up to its first NUL, or "" when the value is missing or not REG_SZ.
    virtual std::wstring read() = 0;
    // false when the system refused the write (a policy, a damaged hive), with its reason.
    virtual bool write(const std::wstring& text, std::wstring& reason) = 0;
};

// Numbers kept beside the settings string, under the same key, each a value of its own.
class ISettingNumbers {
public:
    virtual ~ISettingNumbers() = default;
    // nullopt when the value is missing or is not a number (REG_DWORD).
    virtual std::optional<std::uint32_t> readNumber(const std::wstring& name) = 0;
    // false when the system refused the write, with its reason.
    virtual bool writeNumber(const std::wstring& name, std::uint32_t value,
                             std::wstring& reason) = 0;
};

// Texts kept beside the settings string, under the same key, each a value of its own.
class ISettingTexts {
public:
    virtual ~ISettingTexts() = default;
    // The stored text up to its first NUL; nullopt when the value is missing or not REG_SZ.
    virtual std::optional<std::wstring> readText(const std::wstring& name) = 0;
    // Stores `text`, "" included; false when the system refused the write, with its reason.
    virtual bool writeText(const std::wstring& name, const std::wstring& text,
                           std::wstring& reason) = 0;
};

// The program's entry among the ones Windows starts when the user logs on.
class IRunAtLogon {
public:
    virtual ~IRunAtLogon() = default;
    // The command line stored under the program's entry name; nullopt when there is none.
    virtual std::optional<std::wstring> read() = 0;
    virtual bool write(const std::wstring& command, std::wstring& reason) = 0;
    // Also true when there was nothing to remove.
    virtual bool remove(std::wstring& reason) = 0;
    // The bytes Task Manager keeps for the entry of that name; nullopt when it keeps none.
    virtual std::optional<std::string> startupApproval() = 0;
};

// Files of the reply store. Paths are whole paths as the bar forms them (dataDir + name).
class IFiles {
public:
    virtual ~IFiles() = default;
    virtual bool exists(const std::wstring& path) = 0;
    // A file that is there and is neither a folder nor hidden nor a system file.
    virtual bool isNormalFile(const std::wstring& path) = 0;
    virtual bool isFolder(const std::wstring& path) = 0;
    // Whole content, or nullopt when the file cannot be opened.
    virtual std::optional<std::string> readAll(const std::wstring& path) = 0;
    // Replaces the file's content as one step: a temporary file beside it is written and flushed,
    // then moved over the target. On failure returns false, fills `reason` and leaves the old file.
    virtual bool writeAtomic(const std::wstring& path, const std::string& bytes,
                             std::wstring& reason) = 0;
    // Replaces the file's content as one step without waiting for the disk: a temporary file
    // beside it is written and moved over the target, neither flushed nor written through. A crash
    // of the program leaves the old file or the new one; a power cut may lose the file. For what
    // costs little to lose and is written often (the pick history). On failure as writeAtomic.
    virtual bool writeReplace(const std::wstring& path, const std::string& bytes,
                              std::wstring& reason) = 0;
    // Creates a file that is not there: a temporary file of a unique name beside it (made only
    // where no file is) is written and flushed, then renamed to `path` only if nothing has taken
    // that name meanwhile. On failure returns false, fills `reason` and leaves no file behind.
    virtual bool writeNew(const std::wstring& path, const std::string& bytes,
                          std::wstring& reason) = 0;
    virtual bool remove(const std::wstring& path, std::wstring& reason) = 0;
    // Never overwrites an existing `to`.
    virtual bool rename(const std::wstring& from, const std::wstring& to, std::wstring& reason) = 0;
    // The names of the files (not the folders) in `folder`, a path that ends with the separator;
    // none when it cannot be listed.
    virtual std::vector<std::wstring> fileNamesIn(const std::wstring& folder) = 0;
};

// Clipboard text and synthesised keystrokes to the window that has the keyboard focus.
class IClipboard {
public:
    virtual ~IClipboard() = default;
    // One attempt: empties the clipboard and puts the text on it. False when another program
    // has the clipboard open at that moment.
    virtual bool setText(const std::wstring& text) = 0;
    // The clipboard still holds what the last successful setText put there: nobody has written
    // to it since, and the bar still owns it.
    virtual bool holdsOurText() = 0;
    // The title (or, without one, the class) of the window that has the clipboard open now;
    // "" when it is free or the holder opened it without a window.
    virtual std::wstring holderName() = 0;
    // Who has the clipboard open at this moment. A program that opened it cannot be pasted
    // from: the target's own read fails while it holds it. `target` is the window the keys go
    // to; its process opening it is the paste itself. A program may open it without a window;
    // only `thorough` looks for that, with an attempt of our own to open it, which costs more.
    enum class Access { Free, ByTarget, ByOther };
    virtual Access access(std::uintptr_t target, bool thorough) = 0;
    // The text on the clipboard now; none when it holds no text, or another program keeps it
    // open for longer than a moment.
    virtual std::optional<std::wstring> readText() = 0;
};

class IKeys {
public:
    virtual ~IKeys() = default;
    // Sends the chord. With `wait`, returns after the keystrokes were processed by the
    // receiving thread. Returns false when the system refused part of the injection.
    virtual bool send(keys::Chord chord, bool wait) = 0;
    // One press and release of a key, as the user typed it, to the window that has the focus:
    // a key the bar took for itself goes on to where it was meant.
    virtual bool tap(std::uint16_t virtualKey) = 0;
    // The key is physically down now.
    virtual bool isDown(std::uint16_t virtualKey) = 0;
};

// How the process of the window the user types in stands to the bar's own. Windows drops
// keystrokes sent to a process of higher integrity (one run as administrator) without a word.
enum class TargetIntegrity { Unknown, SameOrLower, Higher };

class ITargetWindow {
public:
    virtual ~ITargetWindow() = default;
    virtual TargetIntegrity foregroundIntegrity() = 0;
    // The foreground window, as a number that only compares; 0 when there is none.
    virtual std::uintptr_t foreground() = 0;
    // The foreground window's class name.
    virtual std::wstring foregroundClass() = 0;
};

// Every hotkey id the bar registers: the one combination that opens and closes the panel, and
// the panel's keys while keyboard mode lasts, each at PanelKeys plus its virtual key.
enum class HotkeyId : int { PanelToggle = 1, PanelKeys = 0x1000 };
constexpr int hotkeyId(HotkeyId id) { return static_cast<int>(id); }
constexpr int panelKeyHotkeyId(std::uint16_t virtualKey) {
    return hotkeyId(HotkeyId::PanelKeys) + virtualKey;
}

// System-wide hot keys of the bar: while registered, the combination reaches the bar, whichever
// window has the keyboard, and no other window. `id` tells the bar's combinations apart;
// `modifiers` are RegisterHotKey's MOD_ flags (see core/key_settings.h).
class IHotkeys {
public:
    virtual ~IHotkeys() = default;
    // false when another program (or the system) owns the combination.
    virtual bool registerKey(int id, unsigned modifiers, unsigned virtualKey) = 0;
    virtual bool unregisterKey(int id) = 0;
};

// Opening files and addresses with the shell, verb "open", owned by the bar.
class IShell {
public:
    virtual ~IShell() = default;
    virtual void open(const std::wstring& target) = 0;
};

// The shell's own Show Desktop command (minimise every window, or bring them back).
class IDesktop {
public:
    virtual ~IDesktop() = default;
    // false when the shell does not offer the command.
    virtual bool toggleDesktop() = 0;
};

// Today's date, as far as the bar needs it.
class IClock {
public:
    virtual ~IClock() = default;
    // Day of the week, Sunday = 1 up to Saturday = 7.
    virtual int weekday() = 0;
    // Milliseconds since some fixed moment; never goes back.
    virtual std::uint64_t milliseconds() = 0;
    // The local date and time now.
    virtual LocalTime localTime() = 0;
};

// Every timer of the program, its value the id the system knows it by on the bar's window (the
// launcher build's patience runs on the build's own window).
// BuildLauncherMenu lists the launch folder once, after start-up and after a new folder.
// PanelPointerPoll closes the reply panel a moment after the pointer has left it.
// MenuCloseCountdown ticks the launcher menu's auto-close (launch/menu_auto_close.h).
// PickStep drives a reply pick that has to wait: for the clipboard, or before a key.
// HeldKeyWatch follows keys that were down when keyboard mode opened, until they are let go.
// RegistrationRetry takes the hotkey and the session notices once the system lets the bar have
// them.
// MenuPointerWatch looks where the pointer is while the launcher menu is open.
// LauncherContentHandOver brings in a launcher build that finished while the menu was open.
// ForegroundWatch keeps the bar on top where the system's foreground event does not arrive.
enum class TimerId : unsigned {
    BuildLauncherMenu = 1,
    PanelPointerPoll,
    MenuCloseCountdown,
    PickStep,
    HeldKeyWatch,
    RegistrationRetry,
    MenuPointerWatch = 10,
    LauncherContentHandOver,
    ForegroundWatch,
};

class ITimers {
public:
    virtual ~ITimers() = default;
    virtual void enable(TimerId id, unsigned intervalMs) = 0;
    virtual void disable(TimerId id) = 0;
};

}  // namespace replybar
