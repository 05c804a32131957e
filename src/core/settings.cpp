#include "core/settings.h"

#include <cwchar>
#include <vector>

#include "core/settings_texts.h"

namespace replybar {

namespace {

// A whole field that is a decimal number (sign, digits, optional fraction, spaces around).
std::optional<double> strictNumber(const std::wstring& field) {
    const auto first = field.find_first_not_of(L' ');
    if (first == std::wstring::npos) return std::nullopt;
    const auto last = field.find_last_not_of(L' ');
    const std::wstring t = field.substr(first, last - first + 1);
    std::size_t i = 0;
    if (t[i] == L'+' || t[i] == L'-') ++i;
    std::size_t digits = 0, dots = 0;
    for (std::size_t j = i; j < t.size(); ++j) {
        if (t[j] >= L'0' && t[j] <= L'9')
            ++digits;
        else if (t[j] == L'.' && dots == 0)
            ++dots;
        else
            return std::nullopt;
    }
    if (digits == 0 || digits > 15) return std::nullopt;
    return std::wcstod(t.c_str(), nullptr);
}

}  // namespace

void parseSettingsString(const std::wstring& text, Settings& settings) {
    std::vector<std::wstring> fields;
    std::size_t start = 0;
    for (;;) {
        const auto comma = text.find(L',', start);
        fields.push_back(text.substr(start, comma == std::wstring::npos ? comma : comma - start));
        if (comma == std::wstring::npos) break;
        start = comma + 1;
    }
    const Settings defaults;
    settings.position = defaults.position;
    settings.launchFolder = defaults.launchFolder;
    settings.homePage = defaults.homePage;
    if (fields.size() < 4) return;
    const std::optional<double> left = strictNumber(fields[0]), top = strictNumber(fields[1]);
    if (left && top) settings.position = StoredPosition{*left, *top};
    settings.homePage = fields.back();
    std::wstring folder = fields[2];
    for (std::size_t i = 3; i + 1 < fields.size(); ++i) folder += L"," + fields[i];
    settings.launchFolder = folder;
}

std::wstring formatSettingsString(const Settings& settings) {
    const StoredPosition p = settings.position.value_or(StoredPosition{});
    return std::to_wstring(static_cast<long long>(p.left)) + L"," +
           std::to_wstring(static_cast<long long>(p.top)) + L"," +
           settings.launchFolder.value_or(L"") + L"," + settings.homePage;
}

std::wstring storableHomePage(std::wstring homePage) {
    for (std::size_t at = homePage.find(L','); at != std::wstring::npos;
         at = homePage.find(L',', at))
        homePage.replace(at, 1, L"%2C");
    return homePage;
}

void readSettingsString(ISettingsStore& store, Settings& settings) {
    parseSettingsString(store.read(), settings);
}

void readKeySettings(ISettingNumbers& numbers, Settings& settings) {
    const Settings defaults;
    settings.hotkey = defaults.hotkey;
    if (const auto stored = numbers.readNumber(kHotkeyValue))
        settings.hotkey = keys::validHotkey(*stored).value_or(defaults.hotkey);
    const bool enter =
        numbers.readNumber(kSendKeyValue) == static_cast<std::uint32_t>(keys::SendKey::Enter);
    settings.sendKey = enter ? keys::SendKey::Enter : defaults.sendKey;
}

void readStartWithWindows(IRunAtLogon& run, const std::wstring& exePath, Settings& settings) {
    settings.startWithWindows =
        startBoxFor(run.read(), disabledInTaskManager(run.startupApproval()), exePath);
}

void saveSettingsString(ISettingsStore& store, IMessages& messages, const Settings& settings) {
    std::wstring reason;
    if (store.write(formatSettingsString(settings), reason)) return;
    messages.show(std::wstring(texts::kSettingsNotSaved) + L"\n\n" + reason, texts::kMessageTitle,
                  MessageKind::Error);
}

bool writeKeySettings(ISettingNumbers& numbers, const Settings& settings, std::wstring& reason) {
    return numbers.writeNumber(kHotkeyValue, settings.hotkey.word(), reason) &&
           numbers.writeNumber(kSendKeyValue, static_cast<std::uint32_t>(settings.sendKey), reason);
}

bool writeStartWithWindows(IRunAtLogon& run, const std::wstring& exePath, bool on,
                           std::wstring& reason) {
    return on ? run.write(runCommandFor(exePath), reason) : run.remove(reason);
}

}  // namespace replybar
