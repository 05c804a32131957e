// The pick history as the bar holds it: read once at start, each pick remembered at once and
// handed to the writer, whose threads write history.txt and post back what it holds then.
#include <ctime>

#include "bar/bar_window_win32.h"
#include "core/files.h"
#include "win/thread_win32.h"

namespace replybar {
namespace {

// At the close the last picks usually land within this; a file that hangs longer is left to
// its write, which the end of the process may cut short (the old file stays whole).
constexpr auto kHistoryCloseWait = std::chrono::milliseconds(1000);

std::int64_t secondsNow() { return static_cast<std::int64_t>(std::time(nullptr)); }

}  // namespace

// When each reply was last picked, for the order of the search's results. Without a data folder
// the picks are remembered until the bar closes.
void BarWindow::startHistory() {
    const std::wstring path = state_.dataDir.empty() ? L"" : state_.dataDir + kPickHistoryFileName;
    history_ = std::make_unique<PickHistory>(*files_, path);
    history_->load(secondsNow());
    controller_->panel().setHistory(history_.get());
    if (path.empty()) return;
    const HWND bar = hwnd_;
    historyWriter_ = std::make_unique<PickHistoryWriter>(PickHistoryWriter::Context{
        makeSystemFiles(), path,
        [](std::function<void()> work) { return win::startThread(std::move(work)); },
        [bar] { ::PostMessageW(bar, kPickHistoryWritten, 0, 0); }, secondsNow});
}

// Every pick the controller reports: remembered for the search now, written later off this
// thread, so that nothing slow comes between the pick and its paste.
void BarWindow::replyPicked(const std::wstring& group, const std::wstring& text) {
    if (!history_) return;
    const std::int64_t time = history_->picked(group, text, secondsNow());
    if (historyWriter_) historyWriter_->add(group, text, time);
}

// What the file holds after a write, this bar's picks and those of another copy of it.
void BarWindow::takeWrittenHistory() {
    if (!historyWriter_) return;
    if (const std::optional<PickTimes> file = historyWriter_->takeWritten())
        history_->takeIn(*file);
}

void BarWindow::finishHistory() {
    if (historyWriter_) historyWriter_->finish(kHistoryCloseWait);
}

}  // namespace replybar
