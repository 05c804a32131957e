// Queries over replies of any text: the search stays within the list, names each reply once,
// ranks matches at the start first, and agrees with a slow check that tries every way of
// spelling the query out from every character.
#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "fuzz_common.h"
#include "search/pinyin.h"
#include "search/reply_search.h"

using namespace replybar;

namespace {

std::vector<std::string> spellings(wchar_t c) {
    const wchar_t ascii = c >= L'Ａ' && c <= L'ｚ' ? c - 0xFEE0 : c;  // full-width forms
    if (ascii < 0x80 && std::isalpha(static_cast<int>(ascii)))
        return {std::string(1, static_cast<char>(std::tolower(static_cast<int>(ascii))))};
    std::vector<std::string> out;
    const pinyin::Readings r = pinyin::readingsOf(static_cast<char32_t>(c));
    for (std::size_t i = 0; i < r.size(); ++i) out.emplace_back(pinyin::syllableText(r[i]));
    return out;
}

// Whether letters[q..] is spelled out by text[at..], each character taking a non-empty
// beginning of one of its spellings.
bool spellsFrom(const std::string& letters, std::size_t q, std::wstring_view text, std::size_t at) {
    if (q == letters.size()) return true;
    if (at == text.size()) return false;
    for (const std::string& s : spellings(text[at]))
        for (std::size_t k = 1; k <= s.size() && q + k <= letters.size(); ++k) {
            if (letters.compare(q, k, s, 0, k) != 0) break;
            if (spellsFrom(letters, q + k, text, at + 1)) return true;
        }
    return false;
}

ReplyMatch slowMatch(const std::string& letters, std::wstring_view text) {
    if (letters.empty()) return ReplyMatch::None;
    std::size_t first = 0;
    while (first < text.size() && spellings(text[first]).empty()) ++first;
    if (first < text.size() && spellsFrom(letters, 0, text, first)) return ReplyMatch::AtStart;
    for (std::size_t at = first + 1; at < text.size(); ++at)
        if (spellsFrom(letters, 0, text, at)) return ReplyMatch::Inside;
    return ReplyMatch::None;
}

}  // namespace

// The first line is the query, each further line a reply; a reply's first character sets how
// recently it was picked.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring input = fuzz::textOf(data, size);
    std::vector<std::wstring> lines(1);
    for (wchar_t c : input) {
        if (c == L'\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    if (lines.size() > 64) lines.resize(64);
    std::string letters;
    for (wchar_t c : lines[0])
        if (c < 0x80 && std::isalpha(static_cast<int>(c)))
            letters += static_cast<char>(std::tolower(static_cast<int>(c)));
    if (letters.size() > 12) return 0;  // the slow check is exponential in the query

    std::vector<SearchItem> items;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].size() > 40) lines[i].resize(40);
        const std::int64_t picked = lines[i].empty() ? 0 : lines[i][0] % 4;
        items.push_back({static_cast<int>(i % 3), static_cast<int>(i), lines[i], picked});
    }
    const std::size_t limit = size % 7;
    const std::vector<std::size_t> found = searchReplies(lines[0], items, limit);

    FUZZ_CHECK(std::set<std::size_t>(found.begin(), found.end()).size() == found.size());
    std::size_t expected = 0, starts = 0;
    for (const SearchItem& item : items) {
        const ReplyMatch m = slowMatch(letters, item.text);
        FUZZ_CHECK(matchReply(letters, item.text) == m);
        expected += m != ReplyMatch::None;
        starts += m == ReplyMatch::AtStart;
    }
    FUZZ_CHECK(found.size() == std::min(expected, limit));
    for (std::size_t i = 0; i < found.size(); ++i) {
        FUZZ_CHECK(found[i] < items.size());
        const ReplyMatch m = matchReply(letters, items[found[i]].text);
        FUZZ_CHECK(m != ReplyMatch::None && (m == ReplyMatch::AtStart) == (i < starts));
    }
    return 0;
}
