#include "search/reply_search.h"

#include <algorithm>
#include <bit>
#include <cassert>

#include "search/pinyin.h"

namespace replybar {
namespace {

// Which query positions are reachable: bit q set means the letters before q are spelled out by
// the characters read so far. Bit 0 is "nothing consumed yet".
using Positions = std::uint64_t;

char latinLetter(wchar_t c) {
    if (c >= L'A' && c <= L'Z') return static_cast<char>(c - L'A' + 'a');
    if (c >= L'a' && c <= L'z') return static_cast<char>(c);
    if (c >= L'Ａ' && c <= L'Ｚ') return static_cast<char>(c - L'Ａ' + 'a');
    if (c >= L'ａ' && c <= L'ｚ') return static_cast<char>(c - L'ａ' + 'a');
    return 0;
}

// The positions reachable after one hanzi, from those in `from`.
Positions advanceByHanzi(std::string_view letters, Positions from, const pinyin::Readings& r) {
    Positions to = 0;
    for (std::size_t i = 0; i < r.size(); ++i) {
        const std::string_view syllable = pinyin::syllableText(r[i]);
        for (Positions rest = from; rest != 0; rest &= rest - 1) {
            std::size_t q = static_cast<std::size_t>(std::countr_zero(rest));
            for (std::size_t k = 0;
                 k < syllable.size() && q < letters.size() && letters[q] == syllable[k]; ++k)
                to |= Positions{1} << ++q;
        }
    }
    return to;
}

Positions advanceByLetter(std::string_view letters, Positions from, char letter) {
    Positions to = 0;
    for (Positions rest = from; rest != 0; rest &= rest - 1) {
        const std::size_t q = static_cast<std::size_t>(std::countr_zero(rest));
        if (q < letters.size() && letters[q] == letter) to |= Positions{1} << (q + 1);
    }
    return to;
}

std::string lettersOf(std::wstring_view query) {
    std::string letters;
    for (wchar_t c : query)
        if (c < 0x80 && latinLetter(c)) letters += latinLetter(c);
    return letters;
}

}  // namespace

ReplyMatch matchReply(std::string_view letters, std::wstring_view text) {
    assert(letters.size() <= kMaxSearchLetters);
    if (letters.empty() || letters.size() > kMaxSearchLetters) return ReplyMatch::None;
    const Positions done = Positions{1} << letters.size();
    Positions anywhere = 0;   // runs begun at any character
    Positions fromStart = 0;  // the run begun at the text's first letter or hanzi
    bool begun = false, foundInside = false;
    for (wchar_t c : text) {
        const char letter = latinLetter(c);
        const pinyin::Readings readings =
            letter ? pinyin::Readings() : pinyin::readingsOf(static_cast<char32_t>(c));
        if (!letter && readings.empty()) {  // a separator ends every run
            anywhere = fromStart = 0;
            if (foundInside) break;
            continue;
        }
        if (!begun) fromStart = 1;
        begun = true;
        const auto advance = [&](Positions from) {
            return letter ? advanceByLetter(letters, from, letter)
                          : advanceByHanzi(letters, from, readings);
        };
        if (fromStart != 0) {
            fromStart = advance(fromStart);
            if (fromStart & done) return ReplyMatch::AtStart;
        }
        anywhere = advance(anywhere | 1);
        foundInside = foundInside || (anywhere & done) != 0;
        if (foundInside && fromStart == 0) break;
    }
    return foundInside ? ReplyMatch::Inside : ReplyMatch::None;
}

std::vector<std::size_t> searchReplies(std::wstring_view query,
                                       const std::vector<SearchItem>& items, std::size_t limit) {
    const std::string letters = lettersOf(query);
    if (letters.empty() || letters.size() > kMaxSearchLetters || limit == 0) return {};
    struct Found {
        bool atStart;
        std::size_t at;
    };
    std::vector<Found> found;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const ReplyMatch m = matchReply(letters, items[i].text);
        if (m != ReplyMatch::None) found.push_back({m == ReplyMatch::AtStart, i});
    }
    const auto better = [&items](const Found& a, const Found& b) {
        const SearchItem& x = items[a.at];
        const SearchItem& y = items[b.at];
        if (a.atStart != b.atStart) return a.atStart;
        if (x.lastPicked != y.lastPicked) return x.lastPicked > y.lastPicked;
        if (x.group != y.group) return x.group < y.group;
        if (x.index != y.index) return x.index < y.index;
        return a.at < b.at;
    };
    const std::size_t kept = std::min(limit, found.size());
    std::partial_sort(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(kept), found.end(),
                      better);
    std::vector<std::size_t> result;
    result.reserve(kept);
    for (std::size_t i = 0; i < kept; ++i) result.push_back(found[i].at);
    return result;
}

}  // namespace replybar
