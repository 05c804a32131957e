#include "team/team_version.h"

#include "core/codec.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace replybar::team {
namespace {

const LocalTime kDec7{2024, 12, 7, 12, 5};
const LocalTime kDec9Morning{2024, 12, 9, 9, 3};
const LocalTime kDec9Noon{2024, 12, 9, 12, 0};

std::string fileOf(int replies) {
    std::wstring text = L"分组,回复\r\n";
    for (int i = 0; i < replies; ++i) text += L"售前,回复" + std::to_wstring(i) + L"\r\n";
    return "\xEF\xBB\xBF" + codec::toUtf8(text);
}
const std::string kFaultyAtLine3 =
    "\xEF\xBB\xBF" + codec::toUtf8(L"分组,回复\r\n售前,好\r\n售前,\"坏\r\n");

Fetched fetched(const std::string& bytes, LocalTime time) { return parseFetched(bytes, time); }

TEST(TeamVersion, VersionInUseCacheWritesAndStatus) {
    using Outcomes = std::vector<FetchOutcome>;
    struct Case {
        const char* what;
        std::optional<CachedCopy> cache;
        Outcomes outcomes;
        int repliesInUse;  // -1: none
        std::vector<bool> cacheWrites;
        std::wstring status;  // seen at kDec9Noon
    };
    // clang-format off
    const Case cases[] = {
        {"nothing yet, no copy", std::nullopt, {}, -1, {}, L"正在读取…"},
        {"the copy is used at once", CachedCopy{fileOf(128), kDec7}, {}, 128, {},
         L"团队回复 128 条 · 12月7日 12:05 更新"},
        {"a copy that no longer parses is not used", CachedCopy{kFaultyAtLine3, kDec7}, {}, -1, {},
         L"正在读取…"},
        {"a new version is written and dated", CachedCopy{fileOf(128), kDec7},
         {fetched(fileOf(130), kDec9Morning)}, 130, {true}, L"团队回复 130 条 · 今天 9:03 更新"},
        {"the same bytes again: no write, the date stays", CachedCopy{fileOf(128), kDec7},
         {fetched(fileOf(128), kDec9Morning), Unchanged{kDec9Noon}}, 128, {false, false},
         L"团队回复 128 条 · 12月7日 12:05 更新"},
        {"unreachable with a copy", CachedCopy{fileOf(128), kDec7},
         {Unreachable{kDec9Morning, L"连接超时"}}, 128, {false}, L"离线（连接超时）· 使用 12月7日 的副本"},
        {"unreachable with today's version", std::nullopt,
         {fetched(fileOf(5), kDec9Morning), Unreachable{kDec9Noon, L"连接超时"}}, 5, {true, false},
         L"离线（连接超时）· 使用 今天 的副本"},
        {"a deleted file says so", CachedCopy{fileOf(128), kDec7},
         {Unreachable{kDec9Morning, L"找不到文件"}}, 128, {false},
         L"离线（找不到文件）· 使用 12月7日 的副本"},
        {"a server's answer says which", CachedCopy{fileOf(128), kDec7},
         {Unreachable{kDec9Morning, L"服务器返回 404"}, Unreachable{kDec9Noon, L"服务器返回 500"}},
         128, {false, false}, L"离线（服务器返回 500）· 使用 12月7日 的副本"},
        {"unreachable, nothing to use", std::nullopt, {Unreachable{kDec9Morning, L"找不到文件"}},
         -1, {false}, L"无法读取：找不到文件"},
        {"back online after being unreachable", CachedCopy{fileOf(128), kDec7},
         {Unreachable{kDec9Morning, L"超时"}, Unchanged{kDec9Noon}}, 128, {false, false},
         L"团队回复 128 条 · 12月7日 12:05 更新"},
        {"a faulty file keeps the last good version", CachedCopy{fileOf(128), kDec7},
         {fetched(kFaultyAtLine3, kDec9Morning)}, 128, {false},
         L"文件有错误（第 3 行）· 仍使用上一版"},
        {"a faulty file stays faulty while unchanged", std::nullopt,
         {fetched(fileOf(4), kDec7), fetched(kFaultyAtLine3, kDec9Morning), Unchanged{kDec9Noon}},
         4, {true, false, false}, L"文件有错误（第 3 行）· 仍使用上一版"},
        {"a faulty file without a last good version", std::nullopt,
         {fetched(kFaultyAtLine3, kDec9Morning)}, -1, {false}, L"文件有错误（第 3 行）"},
        {"a file refused as a whole says why", std::nullopt, {fetched("", kDec9Morning)}, -1,
         {false}, L"文件有错误（文件是空的）"},
        {"a header alone does not take the replies away", CachedCopy{fileOf(128), kDec7},
         {fetched(fileOf(0), kDec9Morning)}, 128, {false},
         L"文件有错误（文件里没有回复）· 仍使用上一版"},
        {"a fixed file after a faulty one", CachedCopy{fileOf(128), kDec7},
         {fetched(kFaultyAtLine3, kDec9Morning), fetched(fileOf(129), kDec9Noon)}, 129,
         {false, true}, L"团队回复 129 条 · 今天 12:00 更新"},
        {"a copy from another year", CachedCopy{fileOf(1), {2023, 12, 30, 18, 45}}, {}, 1, {},
         L"团队回复 1 条 · 2023年12月30日 18:45 更新"},
    };
    // clang-format on
    for (const Case& c : cases) {
        TeamVersion version(c.cache);
        std::vector<bool> writes;
        for (const FetchOutcome& outcome : c.outcomes) {
            const TeamVersion::Step step = version.apply(outcome);
            writes.push_back(step.writeCache);
            if (step.writeCache) {  // what is written is the version now in use, with its time
                ASSERT_TRUE(std::holds_alternative<Fetched>(outcome));
                EXPECT_EQ(version.bytesInUse(), std::get<Fetched>(outcome).bytes) << c.what;
                EXPECT_EQ(version.fetchedAt(), std::get<Fetched>(outcome).time) << c.what;
            }
        }
        EXPECT_EQ(version.library() ? version.library()->replyCount() : -1, c.repliesInUse)
            << c.what;
        EXPECT_EQ(writes, c.cacheWrites) << c.what;
        EXPECT_EQ(version.statusText(kDec9Noon), c.status) << c.what;
    }
}

TEST(TeamVersion, ChangedLibraryIsReportedOnlyWhenRepliesDiffer) {
    TeamVersion version(std::nullopt);
    EXPECT_TRUE(version.apply(fetched(fileOf(3), kDec7)).libraryChanged);
    // Saved again with another encoding: a new copy to keep, the same replies shown.
    const std::string gbk =
        *codec::toGbk(L"分组,回复\r\n售前,回复0\r\n售前,回复1\r\n售前,回复2\r\n");
    const TeamVersion::Step step = version.apply(fetched(gbk, kDec9Morning));
    EXPECT_TRUE(step.writeCache);
    EXPECT_FALSE(step.libraryChanged);
}

TEST(SettleWatch, ReadsOnlyWhatStayedTheSameForTwoSeconds) {
    using V = SettleWatch::Verdict;
    struct Step {
        FileStamp seen;
        std::int64_t ms;
        V verdict;
    };
    // clang-format off
    const std::vector<Step> steps = {
        {{100, 1}, 0, V::Wait},          {{100, 1}, 1999, V::Wait},
        {{200, 2}, 2500, V::Wait},       // still being written: the wait starts again
        {{200, 2}, 4000, V::Wait},       {{200, 2}, 4500, V::ReadNow},
        {{200, 2}, 9000, V::AlreadyRead}, {{200, 3}, 9500, V::Wait},  // a new stamp alone counts
        {{200, 3}, 11500, V::ReadNow},
    };
    // clang-format on
    SettleWatch watch(2000);
    for (const Step& s : steps) EXPECT_EQ(watch.observe(s.seen, s.ms), s.verdict) << s.ms;

    watch.readFailed();
    EXPECT_EQ(watch.observe({200, 3}, 12000), V::ReadNow);
}

// A writer that saves in place and pauses up to 10 s between pieces (a sync client on a slow
// link): looked at every 250 ms, the file is read once, 12 s after its last piece.
TEST(SettleWatch, WaitsOutPausesOfUpToTenSeconds) {
    struct Case {
        std::vector<std::int64_t> writes;  // when each piece changed the stamp, in ms
        std::int64_t firstRead;            // the look that reads it
    };
    const Case cases[] = {
        {{0, 10000, 20000, 30000, 40000}, 52000},
        {{0, 2000, 11999, 21998}, 34000},  // the last piece is seen at 22000
        {{0}, 12000},
    };
    for (const Case& c : cases) {
        SettleWatch watch;
        std::optional<std::int64_t> read;
        for (std::int64_t ms = 0; ms <= c.firstRead + 3000 && !read; ms += 250) {
            const auto pieces = static_cast<std::uint64_t>(std::count_if(
                c.writes.begin(), c.writes.end(), [&](std::int64_t at) { return at <= ms; }));
            if (watch.observe({pieces, pieces}, ms) == SettleWatch::Verdict::ReadNow) read = ms;
        }
        EXPECT_EQ(read, c.firstRead) << c.writes.size();
    }
}

TEST(SyncConflictCopies, AreToldFromTheLibraryAndOtherFiles) {
    const std::wstring library = L"团队回复.csv";
    const struct {
        std::wstring name;
        bool copy;
    } cases[] = {
        {L"团队回复 (1).csv", true},
        {L"团队回复(2).csv", true},
        {L"团队回复-冲突副本-张三-20241207.csv", true},
        {L"团队回复.sync-conflict-20241207-120501-ABCDEFG.csv", true},
        {L"团队回复 (张三's conflicted copy 2024-12-07).csv", true},
        {L"团队回复-DESKTOP-AB12CD.csv", true},
        {L"\\\\server\\share\\团队回复 (1).CSV", true},
        {L"团队回复.csv", false},
        {L"团队回复.CSV", false},
        {L"团队回复说明.csv", false},
        {L"团队回复 (1).txt", false},
        {L"团队回复 (草稿).csv", false},
        {L"其他.csv", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isSyncConflictCopy(c.name, library), c.copy) << codec::toUtf8(c.name);
}

}  // namespace
}  // namespace replybar::team
