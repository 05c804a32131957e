// Finding replies by a few typed letters, from every group at once.
//
// The query is ASCII letters in any case (anything else in it is ignored). A reply matches when
// the letters, in order, spell out consecutive characters of its text, each character taking a
// non-empty beginning of one of its pinyin readings: the initials ("hygl" for 欢迎光临), whole
// syllables with the last one cut short ("huany" for 欢迎), or any mix ("huanygl", and also
// "huanyinguang", since "yin" begins 迎's "ying"). Pinyin input methods take the same shorthand.
// A character with several readings matches by any (行: xing or hang). A Latin letter in the
// text (ASCII or full-width) stands for itself, in any case: "ok" finds "OK的", "okd" does too.
//
// Anything in the text that is neither a hanzi nor a letter (spaces, punctuation, digits, emoji)
// ends a run: "nhhy" does not find "您好，欢迎", "hy" does. Such characters at the very start
// ("【通知】…", " 您好") are skipped when telling whether a match is at the start of the text.
//
// Ranking: matches at the start of the text first, then the most recently picked (higher
// lastPicked first, 0 for never), then group order (group, then index).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace replybar {

struct SearchItem {
    int group;
    int index;
    std::wstring_view text;
    std::int64_t lastPicked;  // larger is more recent; 0: never picked
};

// Queries longer than this (counted in letters) match nothing; the search line stops taking
// letters here.
inline constexpr std::size_t kMaxSearchLetters = 63;

enum class ReplyMatch { None, Inside, AtStart };

// Whether `letters` (lowercase a-z, at most kMaxSearchLetters) finds `text`, and where.
ReplyMatch matchReply(std::string_view letters, std::wstring_view text);

// The positions in `items` of those that match `query`, best first, at most `limit`. Empty for
// a query with no letters.
std::vector<std::size_t> searchReplies(std::wstring_view query,
                                       const std::vector<SearchItem>& items, std::size_t limit);

}  // namespace replybar
