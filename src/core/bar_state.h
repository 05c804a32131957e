// The bar's named state fields. Several parts of the program read and write them; numbers are
// kept as decimal text and read with a lenient parse, exactly as every reader expects.
#pragma once

#include <string>

namespace replybar {

// The default home page: the maker's portal with a referral query; it never holds ",".
inline constexpr wchar_t kDefaultHomePage[] = L"https://www.example.com/?from=replybar";
// What marks a home page as the portal's: its domain name followed by "/?".
inline constexpr wchar_t kPortalMarker[] = L"www.example.com/?";

struct BarState {
    std::wstring dataDir = L"Label11";           // per-user application data folder, ends with "\"
    std::wstring quickLaunchDir = L"label7";     // Quick Launch folder, ends with "\"
    std::wstring osVersion = L"Label5";          // " 6.1": major with a sign position, ".", minor
    std::wstring settingsString = L"Label8";     // as read from the registry at start-up
    std::wstring taskbarHeight = L"Height :";    // twips; computed only on a first start
    std::wstring homePage = kDefaultHomePage;    // address the home page button opens
    std::wstring replyFileText = L"Label21";     // scratch of the reply loading
    std::wstring replyCount = L"Label14-k";      // number of replies
    std::wstring replyIconCodes = L"Label20";    // one code per reply: digit or space
    std::wstring editorReplyIndex = L"Label18";  // 0-based reply the editor selects on opening
    std::wstring hoverReplyIndex = L"Label24";   // row last under the pointer, "-1" = none
    std::wstring panelCloseCountdown = L"Label11z";  // pointer polls left before the panel closes
    std::wstring cursorPlace = L"是内是外";          // "内" or "外" at the last poll
    std::wstring pressState = L"0  ";  // "1" after a drag-strip press, "2" after a button
    std::wstring menuCloseCountdown = L"Label13";  // Timer2 ticks left before Esc closes the menu
    std::wstring menuPointerState = L"Label23";    // "来了" / "离开"
    std::wstring launchMap = L"Label3";            // "*" + n + "*" + file name per folder entry
    std::wstring scratchText = L"Label1";          // caption being built; command file text

    // Program-wide variables.
    std::wstring launchFolder;  // the launcher menu's folder, ends with "\"
    bool autoSend = false;      // also send Ctrl+Enter after a pasted reply
};

// The longest leading decimal number of `text` (leading spaces skipped, optional sign, digits,
// optional fraction); 0 when there is none.
double lenientNumber(const std::wstring& text);
// lenientNumber taken to a whole number (towards zero) for counters and indexes.
long long lenientInteger(const std::wstring& text);
// Decimal text of a whole number, no spaces.
std::wstring decimal(long long value);
// Parses, subtracts 1 and stores the result; returns true when the countdown now reads "0".
bool decrementCountdown(std::wstring& countdown);

}  // namespace replybar
