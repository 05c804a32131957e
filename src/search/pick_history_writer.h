// Writes the pick history's file off the bar's thread, so that nothing slow stands between a
// pick and its paste: the file may live on a server (a redirected profile), be held by a
// scanner or a sync client, or take a second of retries to replace.
//
// A pick only joins the pending ones; a write starts on a thread of its own when none runs, and
// picks that come while one runs go together in the next. A write that fails (the file is held)
// keeps its picks pending for the write the next pick starts. Whatever the writer's thread
// uses lives in a state it shares, so a write still stuck when the bar closes finishes by
// itself, without telling anyone.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/ports.h"
#include "search/pick_history.h"

namespace replybar {

class PickHistoryWriter {
public:
    struct Context {
        std::unique_ptr<IFiles> files;  // used on the writer's thread only
        std::wstring path;              // the history file
        // Runs the work on a thread of its own; false when no thread could be had.
        std::function<bool(std::function<void()>)> startThread;
        // Called on the writer's thread after each write: takeWritten has news for the bar.
        std::function<void()> written;
        std::function<std::int64_t()> now;  // seconds since 1970
    };
    explicit PickHistoryWriter(Context context);
    // Returns at once; a write under way finishes by itself and tells no one.
    ~PickHistoryWriter();
    PickHistoryWriter(const PickHistoryWriter&) = delete;
    PickHistoryWriter& operator=(const PickHistoryWriter&) = delete;

    // A pick at the time PickHistory kept for it. Returns at once.
    void add(const std::wstring& group, const std::wstring& text, std::int64_t time);

    // What the file held after the latest write, once; nullopt when no write was done since.
    std::optional<PickTimes> takeWritten();

    // The bar is closing: the pending picks are written now, waited for at most `limit`, and
    // nothing is told any more. True when every pick is in the file.
    bool finish(std::chrono::milliseconds limit);

    struct Shared;

private:
    void startUnlessWriting();

    std::shared_ptr<Shared> shared_;
    std::function<bool(std::function<void()>)> startThread_;
};

}  // namespace replybar
