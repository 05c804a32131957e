// The keyboard settings and the logon entry through the real registry, and hotkeys through the
// real RegisterHotKey.
#include <windows.h>

#include <gtest/gtest.h>

#include "win/hotkeys_win32.h"
#include "core/settings.h"
#include "win/registry_win32.h"
#include "win/run_at_logon_win32.h"

namespace replybar {
namespace {

// Written as the hotkey control gives them, read back as they were; a value of another type is
// no number, and reads as the default.
TEST(KeySettingsRegistry, NumbersBesideTheSettingsStringAndOfNoOtherType) {
    win::RegistrySettingsStore store;
    std::wstring reason;
    ASSERT_TRUE(store.write(L"1,2,C:\\,about:blank", reason));
    Settings chosen;
    chosen.hotkey = {'K', keys::kHotkeyControl | keys::kHotkeyShift};
    chosen.sendKey = keys::SendKey::Enter;
    ASSERT_TRUE(writeKeySettings(store, chosen, reason)) << reason.size();
    Settings read;
    readKeySettings(store, read);
    EXPECT_EQ(read.hotkey, chosen.hotkey);
    EXPECT_EQ(read.sendKey, keys::SendKey::Enter);
    EXPECT_EQ(store.read(), L"1,2,C:\\,about:blank");

    HKEY key = nullptr;
    ASSERT_EQ(
        ::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\DAZ\\Registry", 0, KEY_ALL_ACCESS, &key),
        ERROR_SUCCESS);
    ::RegSetValueExW(key, L"Hotkey", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"843"), 8);
    EXPECT_EQ(store.readNumber(L"Hotkey"), std::nullopt);
    readKeySettings(store, read);
    EXPECT_EQ(read.hotkey, keys::kDefaultHotkey);
    ::RegDeleteValueW(key, L"Hotkey");
    ::RegDeleteValueW(key, L"SendKey");
    ::RegCloseKey(key);
    EXPECT_EQ(store.readNumber(L"SendKey"), std::nullopt);
}

TEST(RunAtLogonRegistry, WrittenReadExpandedAndRemoved) {
    win::RunAtLogon run;
    std::wstring reason;
    ASSERT_TRUE(run.remove(reason));  // nothing there is no failure
    EXPECT_EQ(run.read(), std::nullopt);
    const std::wstring command = L"\"C:\\快捷 回复\\ReplyBar.exe\"";
    ASSERT_TRUE(run.write(command, reason));
    EXPECT_EQ(run.read(), command);

    HKEY key = nullptr;
    ASSERT_EQ(
        ::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                        KEY_ALL_ACCESS, &key),
        ERROR_SUCCESS);
    const wchar_t expandable[] = L"\"%SystemRoot%\\ReplyBar.exe\"";
    ::RegSetValueExW(key, L"ReplyBar", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expandable),
                     sizeof expandable);
    wchar_t root[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"SystemRoot", root, MAX_PATH);
    EXPECT_EQ(run.read(), L"\"" + std::wstring(root) + L"\\ReplyBar.exe\"");
    ::RegCloseKey(key);

    ASSERT_TRUE(run.remove(reason));
    EXPECT_EQ(run.read(), std::nullopt);
    const std::wstring exe = win::exePath();
    EXPECT_EQ(exe.substr(exe.find_last_of(L'\\') + 1), L"win_tests.exe");
}

// A combination one window holds is refused to another until it is given back.
TEST(Hotkeys, ACombinationTakenElsewhereIsRefusedUntilGivenBack) {
    HWND first = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   nullptr, nullptr);
    HWND second = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                    nullptr, nullptr);
    win::WindowHotkeys owner(first), other(second);
    const keys::Hotkey hotkey{0x7A /* F11 */,
                              keys::kHotkeyControl | keys::kHotkeyAlt | keys::kHotkeyShift};
    const unsigned mods = keys::registerModifiers(hotkey);
    ASSERT_TRUE(owner.registerKey(7, mods, hotkey.virtualKey));
    EXPECT_FALSE(other.registerKey(1, mods, hotkey.virtualKey));
    EXPECT_TRUE(owner.unregisterKey(7));
    EXPECT_FALSE(owner.unregisterKey(7));
    EXPECT_TRUE(other.registerKey(1, mods, hotkey.virtualKey));
    EXPECT_TRUE(other.unregisterKey(1));
    ::DestroyWindow(first);
    ::DestroyWindow(second);
}

}  // namespace
}  // namespace replybar
