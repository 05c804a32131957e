#include "bar/bar_history_win32.h"

#include <ctime>

#include "core/files.h"
#include "win/thread_win32.h"

namespace replybar {
namespace {

// At the close the last picks usually land within this; a file that hangs longer is left to
// its write, which the end of the process may cut short (the old file stays whole).
constexpr auto kHistoryCloseWait = std::chrono::milliseconds(1000);

std::int64_t secondsNow() { return static_cast<std::int64_t>(std::time(nullptr)); }

}  // namespace

void BarHistory::start(IFiles& files, const std::wstring& dataDir, win::UiQueue& queue) {
    const std::wstring path = dataDir.empty() ? L"" : dataDir + kPickHistoryFileName;
    history_ = std::make_unique<PickHistory>(files, path);
    history_->load(secondsNow());
    if (path.empty()) return;
    writer_ = std::make_unique<PickHistoryWriter>(PickHistoryWriter::Context{
        makeSystemFiles(), path,
        [](std::function<void()> work) { return win::startThread(std::move(work)); },
        // On the writer's thread; the bar's queue drops the work once the bar has closed.
        [queue = queue.poster(), this] { queue.post([this] { takeWritten(); }); }, secondsNow});
}

void BarHistory::picked(const std::wstring& group, const std::wstring& text) {
    if (!history_) return;
    const std::int64_t time = history_->picked(group, text, secondsNow());
    if (writer_) writer_->add(group, text, time);
}

// What the file holds after a write, this bar's picks and those of another copy of it.
void BarHistory::takeWritten() {
    if (!writer_) return;
    if (const std::optional<PickTimes> file = writer_->takeWritten()) history_->takeIn(*file);
}

void BarHistory::finish() {
    if (writer_) writer_->finish(kHistoryCloseWait);
}

}  // namespace replybar
