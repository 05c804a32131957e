#include "core/settings.h"

#include <cwchar>
#include <cwctype>
#include <vector>

#include "core/settings_texts.h"

namespace replybar {

namespace {

std::wstring trimmed(const std::wstring& text, const wchar_t* around) {
    const std::size_t first = text.find_first_not_of(around);
    if (first == std::wstring::npos) return L"";
    return text.substr(first, text.find_last_not_of(around) - first + 1);
}

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

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// "http://" or "https://", in any case; the length of the prefix, or 0.
std::size_t webPrefix(const std::wstring& t) {
    for (const std::wstring scheme : {L"http://", L"https://"}) {
        if (t.size() < scheme.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < scheme.size(); ++i)
            same = same && static_cast<wchar_t>(std::towlower(t[i])) == scheme[i];
        if (same) return scheme.size();
    }
    return 0;
}

TeamLocation addressKind(const std::wstring& t, std::size_t prefix) {
    const std::size_t hostEnd = t.find_first_of(L"/?#", prefix);
    const std::wstring host =
        t.substr(prefix, hostEnd == std::wstring::npos ? hostEnd : hostEnd - prefix);
    if (host.empty()) return TeamLocation::NoServer;
    for (const wchar_t c : host)
        if (c <= L' ' || c == L'\u3000' || c == L'\\') return TeamLocation::Unusable;
    return TeamLocation::Address;
}

// A path whose root ("C:" or "\\") ends at `rootEnd` and whose file name can only come after a
// separator at or after `nameFrom`: only what a name may hold, and a name at its end.
TeamLocation pathKind(const std::wstring& t, std::size_t rootEnd, std::size_t nameFrom) {
    for (std::size_t i = rootEnd; i < t.size(); ++i)
        if (t[i] < L' ' || std::wcschr(L"<>\"|?*:", t[i])) return TeamLocation::BadCharacter;
    const bool named = t.find_first_of(L"\\/", nameFrom) != std::wstring::npos;
    return named && !isSeparator(t.back()) ? TeamLocation::Path : TeamLocation::Folder;
}

}  // namespace

TeamLibraryCheck checkTeamLibrary(const std::wstring& typed) {
    TeamLibraryCheck check{trimmed(typed, L" \t\"\u3000"), TeamLocation::None};
    const std::wstring& t = check.location;
    if (t.empty()) return check;
    if (const std::size_t prefix = webPrefix(t)) {
        check.kind = addressKind(t, prefix);
    } else if (t.find(L"://") != std::wstring::npos) {
        check.kind = TeamLocation::Unusable;
    } else if (t.size() >= 2 && isSeparator(t[0]) && isSeparator(t[1])) {
        // \\server\share\name: a server and a share, then the file's name.
        const std::size_t share = t.find_first_of(L"\\/", 2);
        if (share == 2 || share == std::wstring::npos || share + 1 == t.size() ||
            isSeparator(t[share + 1]))
            check.kind = TeamLocation::NoServer;
        else
            check.kind = pathKind(t, 2, share + 1);
    } else if (t.size() >= 3 && std::iswalpha(t[0]) && t[0] < 0x80 && t[1] == L':' &&
               isSeparator(t[2])) {
        check.kind = pathKind(t, 2, 2);
    } else {
        check.kind = TeamLocation::Relative;
    }
    return check;
}

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

void readTeamLibrary(ISettingTexts& texts, Settings& settings) {
    const TeamLibraryCheck stored =
        checkTeamLibrary(texts.readText(kTeamLibraryValue).value_or(L""));
    settings.teamLibrary = usable(stored.kind) ? stored.location : L"";
}

void readTeamCheckSeconds(ISettingNumbers& numbers, Settings& settings) {
    const auto n = numbers.readNumber(kTeamCheckSecondsValue);
    settings.teamCheckSeconds =
        n && *n >= 2 && *n <= 3600 ? static_cast<int>(*n) : kDefaultTeamCheckSeconds;
}

std::wstring cleanAgentName(const std::wstring& typed) {
    std::wstring name;
    for (wchar_t c : typed) name += c < L' ' ? L' ' : c;  // a pasted line break, a tab
    name = trimmed(name, L" \u3000");
    if (name.size() > kAgentNameMax) name = trimmed(name.substr(0, kAgentNameMax), L" \u3000");
    return name;
}

void readAgentName(ISettingTexts& texts, Settings& settings) {
    settings.agentName = cleanAgentName(texts.readText(kAgentNameValue).value_or(L""));
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

bool writeTeamLibrary(ISettingTexts& texts, const Settings& settings, std::wstring& reason) {
    return texts.writeText(kTeamLibraryValue, settings.teamLibrary, reason);
}

bool writeAgentName(ISettingTexts& texts, const Settings& settings, std::wstring& reason) {
    return texts.writeText(kAgentNameValue, settings.agentName, reason);
}

bool writeStartWithWindows(IRunAtLogon& run, const std::wstring& exePath, bool on,
                           std::wstring& reason) {
    return on ? run.write(runCommandFor(exePath), reason) : run.remove(reason);
}

}  // namespace replybar
