// The team library's file read through the real file calls and the folder's change
// notification, off the test's thread. Addresses and a source that hangs are driven from
// tests/e2e/test_team_source.sh.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

#include "reply/team_source_win32.h"

namespace replybar::team {
namespace {

// What the watch told, for the test's thread to wait on.
class Outcomes {
public:
    std::function<void(FetchOutcome)> sink() {
        return [this](FetchOutcome outcome) {
            const std::lock_guard<std::mutex> lock(mutex_);
            told_.push_back(std::move(outcome));
            changed_.notify_all();
        };
    }
    // The next outcome not yet taken, waited for at most `ms`.
    std::optional<FetchOutcome> next(int ms) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!changed_.wait_for(lock, std::chrono::milliseconds(ms),
                               [&] { return told_.size() > taken_; }))
            return std::nullopt;
        return told_[taken_++];
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<FetchOutcome> told_;
    std::size_t taken_ = 0;
};

// "fetched <replies>", "faulty <line>", "unchanged", "unreachable <reason>", or "nothing".
std::wstring describe(const std::optional<FetchOutcome>& outcome) {
    if (!outcome) return L"nothing";
    if (const auto* fetched = std::get_if<Fetched>(&*outcome)) {
        if (const auto* library = std::get_if<TeamLibrary>(&fetched->parsed))
            return L"fetched " + std::to_wstring(library->replyCount());
        return L"faulty " + std::to_wstring(std::get<CsvError>(fetched->parsed).line);
    }
    if (std::holds_alternative<Unchanged>(*outcome)) return L"unchanged";
    return L"unreachable " + std::get<Unreachable>(*outcome).reason;
}

std::string library(int replies) {
    std::string csv = "分组,回复\r\n";
    for (int i = 0; i < replies; ++i) csv += "售后,回复" + std::to_string(i) + "\r\n";
    return csv;
}

class TeamSourceFolder : public ::testing::Test {
public:
    void SetUp() override {
        wchar_t tmp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, tmp);
        dir = std::filesystem::path(tmp) / (L"团队库" + std::to_wstring(::GetCurrentProcessId()));
        std::filesystem::create_directories(dir);
        file = (dir / L"团队回复.csv").wstring();
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    void put(const std::string& bytes) {
        std::ofstream(std::filesystem::path(file), std::ios::binary) << bytes;
    }
    TeamSourceWatch::Options options(int checkSeconds = 60) { return {file, checkSeconds, 3000}; }

    std::filesystem::path dir;
    std::wstring file;
    Outcomes outcomes;
};

// Settling takes two seconds and the checks look every quarter second.
constexpr int kSettledMs = 4000;

TEST_F(TeamSourceFolder, EachStateOfTheFileIsToldAsWhatItIs) {
    struct Case {
        const char* name;
        std::function<void(TeamSourceFolder&)> arrange;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {"missing", [](auto&) {}, L"unreachable 找不到文件"},
        {"settled", [](auto& t) { t.put(library(3)); }, L"fetched 3"},
        {"malformed", [](auto& t) { t.put("分组,回复\r\nA,\"open\r\n"); }, L"faulty 2"},
        {"past 2 MB", [](auto& t) { t.put(library(1) + std::string(3 << 20, ' ')); }, L"faulty 0"},
        {"a folder", [](auto& t) { t.file = t.dir.wstring(); },
         L"unreachable 这是文件夹，不是文件"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Outcomes told;
        c.arrange(*this);
        TeamSourceWatch watch(options(), told.sink());
        EXPECT_EQ(describe(told.next(kSettledMs)), c.expected);
    }
}

TEST_F(TeamSourceFolder, ASettledFileIsReadOnceAndThenUnchanged) {
    put(library(2));
    TeamSourceWatch watch(options(), outcomes.sink());
    EXPECT_EQ(describe(outcomes.next(kSettledMs)), L"fetched 2");
    watch.checkNow();
    EXPECT_EQ(describe(outcomes.next(2000)), L"unchanged");
}

TEST_F(TeamSourceFolder, AFileBeingWrittenIsReadOnlyOnceItHasSettled) {
    put(library(1));
    TeamSourceWatch watch(options(), outcomes.sink());
    ::Sleep(1000);
    put(library(5));  // saved again before the first version settled
    EXPECT_EQ(describe(outcomes.next(kSettledMs + 1000)), L"fetched 5");
    EXPECT_EQ(describe(outcomes.next(500)), L"nothing");
}

TEST_F(TeamSourceFolder, ASavedChangeIsPickedUpByTheFolderNotice) {
    put(library(2));
    TeamSourceWatch watch(options(60), outcomes.sink());
    ASSERT_EQ(describe(outcomes.next(kSettledMs)), L"fetched 2");
    ::Sleep(500);
    put(library(4));  // no regular check for a minute: only the notice can start one
    EXPECT_EQ(describe(outcomes.next(kSettledMs)), L"fetched 4");
}

TEST_F(TeamSourceFolder, AFileHeldByAnotherProgramIsReadOnceItIsLetGo) {
    put(library(2));
    HANDLE held = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    TeamSourceWatch watch(options(1), outcomes.sink());
    EXPECT_EQ(describe(outcomes.next(kSettledMs)), L"unreachable 文件被占用");
    ::CloseHandle(held);
    // The next regular check reads it, although its size and time never changed.
    std::optional<FetchOutcome> after;
    do after = outcomes.next(2500);
    while (after && describe(after) == L"unreachable 文件被占用");
    EXPECT_EQ(describe(after), L"fetched 2");
}

TEST_F(TeamSourceFolder, NothingIsToldOnceTheWatchIsGone) {
    put(library(2));
    {
        TeamSourceWatch watch(options(1), outcomes.sink());
        ASSERT_EQ(describe(outcomes.next(kSettledMs)), L"fetched 2");
    }
    put(library(3));
    EXPECT_EQ(describe(outcomes.next(3000)), L"nothing");
}

}  // namespace
}  // namespace replybar::team
