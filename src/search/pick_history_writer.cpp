#include "search/pick_history_writer.h"

#include <condition_variable>
#include <mutex>
#include <utility>

namespace replybar {

struct PickHistoryWriter::Shared {
    std::unique_ptr<IFiles> files;
    std::wstring path;
    std::function<void()> written;
    std::function<std::int64_t()> now;

    std::mutex lock;  // guards what follows
    std::condition_variable idle;
    PickTimes pending;                 // picks not yet in the file
    std::optional<PickTimes> fileNow;  // what the last write left in the file, for the bar
    bool writing = false;              // a thread runs writeWhilePending
    bool closed = false;               // the bar is closing or gone: tell nothing
};

namespace {

// Writes until nothing is pending, or a write fails: its picks then wait for the next pick.
void writeWhilePending(PickHistoryWriter::Shared& s) {
    std::unique_lock<std::mutex> hold(s.lock);
    while (!s.pending.empty()) {
        PickTimes picks = std::exchange(s.pending, {});
        hold.unlock();
        std::optional<PickTimes> file = writePicks(*s.files, s.path, picks, s.now());
        hold.lock();
        if (!file) {
            s.pending.keepAll(picks);
            break;
        }
        if (!s.closed) {
            s.fileNow = std::move(file);
            s.written();
        }
    }
    s.writing = false;
    s.idle.notify_all();
}

}  // namespace

PickHistoryWriter::PickHistoryWriter(Context context)
    : shared_(std::make_shared<Shared>()), startThread_(std::move(context.startThread)) {
    shared_->files = std::move(context.files);
    shared_->path = std::move(context.path);
    shared_->written = std::move(context.written);
    shared_->now = std::move(context.now);
}

PickHistoryWriter::~PickHistoryWriter() {
    std::lock_guard<std::mutex> hold(shared_->lock);
    shared_->closed = true;
}

void PickHistoryWriter::add(const std::wstring& group, const std::wstring& text,
                            std::int64_t time) {
    {
        std::lock_guard<std::mutex> hold(shared_->lock);
        shared_->pending.keep(group, text, time);
    }
    startUnlessWriting();
}

std::optional<PickTimes> PickHistoryWriter::takeWritten() {
    std::lock_guard<std::mutex> hold(shared_->lock);
    return std::exchange(shared_->fileNow, std::nullopt);
}

bool PickHistoryWriter::finish(std::chrono::milliseconds limit) {
    {
        std::lock_guard<std::mutex> hold(shared_->lock);
        shared_->closed = true;
    }
    startUnlessWriting();
    std::unique_lock<std::mutex> hold(shared_->lock);
    return shared_->idle.wait_for(hold, limit, [this] { return !shared_->writing; }) &&
           shared_->pending.empty();
}

// The thread is started without the lock held: it takes the lock as its first step.
void PickHistoryWriter::startUnlessWriting() {
    {
        std::lock_guard<std::mutex> hold(shared_->lock);
        if (shared_->writing || shared_->pending.empty()) return;
        shared_->writing = true;
    }
    if (startThread_([shared = shared_] { writeWhilePending(*shared); })) return;
    // No thread to be had: the picks stay pending for the next one.
    std::lock_guard<std::mutex> hold(shared_->lock);
    shared_->writing = false;
    shared_->idle.notify_all();
}

}  // namespace replybar
