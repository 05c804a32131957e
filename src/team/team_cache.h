// The team library as the bar keeps it between runs and shows it: one local copy of the last
// good version, and the groups the panel shows.
//
// The copy is one file, written in one step: a line with the location it came from, a line with
// when it was read ("2026-12-07 12:05"), then the file's bytes as they were. A copy of another
// location (the setting changed) is not used; a damaged one is as good as none.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/ports.h"
#include "core/replies.h"
#include "team/team_version.h"

namespace replybar::team {

inline constexpr wchar_t kCacheFileName[] = L"team-library.cache";

std::string formatCache(const std::wstring& location, const LocalTime& fetched,
                        const std::string& bytes);
// The copy of `location` in `contents`; nullopt for another location or a damaged copy.
std::optional<CachedCopy> parseCache(const std::string& contents, const std::wstring& location);

// The panel's groups of a library: each reply's caption and icon as the user's own have them.
std::vector<ReplyGroup> replyGroupsOf(const TeamLibrary& library);

}  // namespace replybar::team
