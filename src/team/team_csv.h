// The team library's file: one CSV a lead writes (in Excel or Notepad) and every bar reads, and
// the agent's own replies written to and read from the same format.
//
// The file: a header row naming the columns 分组, 回复 and, optionally, 图标 (in any order; other
// columns are ignored), then one reply per row. Excel's "CSV" (GBK), "CSV UTF-8" (with a mark),
// UTF-8 without a mark and "Unicode 文本" (UTF-16, tab-separated) all read the same: the header
// row decides the separator (a tab and no comma in it: tab). Quoted fields may hold the separator,
// "" for a quote and line breaks, which the text keeps as CR LF since a pick pastes it.
// Blank lines and rows with an empty 回复 are skipped; a reply with an empty 分组 goes to the group
// "未分组". Groups come in the order they first occur, replies in file order within their group.
// A reply's text is kept exactly as the field holds it; header names, group names and the icon
// are trimmed of spaces. A reply or group that starts with an apostrophe before =, +, - or @
// loses that one apostrophe: the writer puts it there so that Excel keeps the text as text.
// A file is used whole or not at all: one without a single reply (a header alone) is refused as
// an empty one is, since using it would take every agent's team replies away; and one whose
// lines change from GBK to UTF-8 or back (rows appended by another editor) is refused at the
// first line of the other encoding, since those rows would read as gibberish.
#pragma once

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

namespace replybar::team {

inline constexpr int kTeamMaxReplies = 2000;
inline constexpr std::size_t kTeamMaxBytes = 2 * 1024 * 1024;
// The group of replies whose 分组 is empty.
inline constexpr wchar_t kUngroupedName[] = L"未分组";

struct TeamReply {
    std::wstring text;
    int icon = -1;  // classification icon 0-9, -1 for none
    bool operator==(const TeamReply&) const = default;
};

struct TeamGroup {
    std::wstring name;
    std::vector<TeamReply> replies;
    bool operator==(const TeamGroup&) const = default;
};

// Where a reply stands in a library: its group and its place in that group.
struct ReplyPlace {
    int group = 0;
    int reply = 0;
    bool operator==(const ReplyPlace&) const = default;
};

struct TeamLibrary {
    std::vector<TeamGroup> groups;
    // Every reply in the order of the file read; empty for a library made otherwise, whose
    // order is that of its groups.
    std::vector<ReplyPlace> fileOrder{};
    int replyCount() const;
    std::vector<TeamReply> repliesInFileOrder() const;
    // The same replies in the same groups: what the panel shows. How the rows of different
    // groups were interleaved in the file does not count.
    bool operator==(const TeamLibrary& other) const { return groups == other.groups; }
};

// Why a file was refused as a whole. `line` is the 1-based physical line of the file where the
// fault is (where an unterminated quote opened, where a bad field starts); 0 when it is the file
// as a whole (too large, empty). `reason` is a short phrase for the status line.
struct CsvError {
    int line = 0;
    std::wstring reason;
    bool operator==(const CsvError&) const = default;
};

using TeamParse = std::variant<TeamLibrary, CsvError>;

// The file's bytes, in any of the encodings above, as a library; or, for a file past the limits
// or with a malformed row, the first fault.
TeamParse readTeamCsv(const std::string& bytes);

// UTF-8 with a mark, header "分组,回复,图标", CR LF line ends; a field is quoted when it holds a
// comma, a quote, a tab, a line break or starts or ends with a space, and one that Excel would
// take as a formula (=, +, - or @ first, after any apostrophes) gets an apostrophe before it. An icon outside 0-9 is
// written empty. readTeamCsv reads back exactly the library written.
std::string writeTeamCsv(const TeamLibrary& library);
// The agent's own replies as one group.
std::string writeRepliesCsv(const std::vector<TeamReply>& replies, const std::wstring& group);

// An import into the agent's own replies: the replies of all groups in the order of the file,
// as many as fit after the `existingCount` replies already held, up to `capacity`.
struct ImportPlan {
    std::vector<TeamReply> added;
    int notFitting = 0;
};
ImportPlan planImport(const TeamLibrary& library, int existingCount, int capacity);

}  // namespace replybar::team
