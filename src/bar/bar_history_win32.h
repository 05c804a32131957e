// The pick history as the bar holds it: read once at start, each pick remembered at once and
// handed to the writer, whose threads write history.txt and hand back, through the bar's queue,
// what the file held then.
#pragma once

#include <memory>
#include <string>

#include "core/ports.h"
#include "search/pick_history.h"
#include "search/pick_history_writer.h"
#include "win/ui_queue_win32.h"

namespace replybar {

class BarHistory {
public:
    // `dataDir` "" (no data folder): the picks are remembered until the bar closes.
    void start(IFiles& files, const std::wstring& dataDir, win::UiQueue& queue);
    // When each reply was last picked, for the search's order; nullptr before the start.
    const PickHistory* history() const { return history_.get(); }
    // Remembered for the search now, written later off the bar's thread: nothing slow comes
    // between a pick and its paste.
    void picked(const std::wstring& group, const std::wstring& text);
    // The bar is closing: the last picks are written, waited for a moment at most.
    void finish();

private:
    void takeWritten();

    std::unique_ptr<PickHistory> history_;
    std::unique_ptr<PickHistoryWriter> writer_;  // its destructor waits for none of its threads
};

}  // namespace replybar
