#include "search/pick_history_writer.h"

#include <gtest/gtest.h>

#include <chrono>

#include "fakes.h"

namespace replybar {
namespace {

using namespace std::chrono_literals;
using testing::FileOp;

const std::wstring kPath = L"/data/history.txt";

// The writer's threads wait in `threads` until the test runs them, or run at once (`runAtOnce`).
class PickHistoryWriterTest : public ::testing::Test {
protected:
    std::unique_ptr<PickHistoryWriter> makeWriter() {
        auto failing = std::make_unique<testing::FailingFiles>(memory);
        files = failing.get();
        auto start = [this](std::function<void()> work) {
            runAtOnce ? work() : threads.push_back(std::move(work));
            return true;
        };
        return std::make_unique<PickHistoryWriter>(PickHistoryWriter::Context{
            std::move(failing), kPath, start, [this] { ++told; }, [] { return 1000; }});
    }
    void runThreads() {
        for (auto& work : std::exchange(threads, {})) work();
    }
    std::string& file() { return memory.files[kPath].bytes; }

    testing::MemoryFiles memory;
    testing::FailingFiles* files = nullptr;  // owned by the writer
    std::vector<std::function<void()>> threads;
    bool runAtOnce = false;
    int told = 0;
    std::unique_ptr<PickHistoryWriter> writer = makeWriter();
};

TEST_F(PickHistoryWriterTest, PicksThatComeBeforeAWriteIsDoneGoTogether) {
    for (const wchar_t* text : {L"a", L"b", L"c"}) writer->add(L"", text, 100);
    EXPECT_EQ(threads.size(), 1u);
    EXPECT_TRUE(memory.written.empty());  // nothing on the caller's thread
    runThreads();
    EXPECT_EQ(file(), "100\t\tc\r\n100\t\tb\r\n100\t\ta\r\n");
    EXPECT_EQ(memory.written.size(), 1u);
    EXPECT_EQ(told, 1);
    EXPECT_EQ(writer->takeWritten()->size(), 3u);
}

// At the close the picks a held file kept back are written; a stuck write is waited for only
// until the limit, and later finishes by itself with its state intact, telling no one.
TEST_F(PickHistoryWriterTest, FinishingWritesWhatWaitsAndWaitsForAStuckWriteOnlySoLong) {
    runAtOnce = true;
    file() = "";
    files->fail(FileOp::Read, kPath);
    writer->add(L"", L"a", 100);
    files->failNothing();
    EXPECT_TRUE(writer->finish(5s));
    EXPECT_EQ(file(), "100\t\ta\r\n");

    runAtOnce = false;
    writer = makeWriter();
    writer->add(L"", L"b", 101);
    EXPECT_FALSE(writer->finish(30ms));
    writer.reset();
    runThreads();
    EXPECT_EQ(file(), "101\t\tb\r\n100\t\ta\r\n");
    EXPECT_EQ(told, 0);
}

}  // namespace
}  // namespace replybar
