#include "launch/launcher_build_win32.h"

#include <objbase.h>

#include <algorithm>
#include <mutex>
#include <utility>

#include "win/thread_win32.h"

namespace replybar::launch {

// Shared by the bar's thread and one worker: whichever lets go last frees it, so a worker may
// outlive the bar.
struct BackgroundLauncherBuild::Job {
    std::uint64_t generation = 0;
    std::wstring folder;
    std::mutex mutex;
    std::optional<LauncherContent> result;
};

BackgroundLauncherBuild::BackgroundLauncherBuild(win::UiQueue& queue, Ready ready)
    : BackgroundLauncherBuild(queue, std::move(ready), Options{}) {}

BackgroundLauncherBuild::BackgroundLauncherBuild(win::UiQueue& queue, Ready ready, Options options)
    : queue_(queue),
      ready_(std::move(ready)),
      options_(std::move(options)),
      self_(std::make_shared<BackgroundLauncherBuild*>(this)) {
    if (options_.maxWorkers == 0) options_.maxWorkers = 1;
}

BackgroundLauncherBuild::~BackgroundLauncherBuild() {
    queue_.callOff(patience_);
    *self_ = nullptr;  // from here on a worker's result dies with its job's last reference
}

void BackgroundLauncherBuild::start(const std::wstring& folder) {
    const std::uint64_t generation = ++latest_;
    delivered_ = false;
    queue_.callOff(patience_);
    patience_ = queue_.after(options_.patienceMs, [this] {
        patience_ = 0;
        onPatienceOver();
    });
    if (running_.size() < options_.maxWorkers) {
        queued_.reset();
        launch(generation, folder);
    } else {
        queued_ = Queued{generation, folder};  // replaces an older request that never ran
    }
}

void BackgroundLauncherBuild::launch(std::uint64_t generation, const std::wstring& folder) {
    auto job = std::make_shared<Job>();
    job->generation = generation;
    job->folder = folder;
    const bool started = win::startThread([job, queue = queue_.poster(),
                                           self = std::weak_ptr(self_), lister = options_.lister] {
        // The shell's icon look-up wants COM on the calling thread.
        const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        LauncherContent content = gatherLauncherContent(job->folder, lister);
        {
            const std::lock_guard<std::mutex> lock(job->mutex);
            job->result = std::move(content);
        }
        if (SUCCEEDED(com)) ::CoUninitialize();
        queue.post([self, generation = job->generation] {
            if (const auto build = self.lock(); build && *build) (*build)->onDone(generation);
        });
    });
    if (started) {
        running_.push_back(std::move(job));
    } else {
        // No thread to be had: list on this thread rather than show nothing.
        LauncherContent content = gatherLauncherContent(folder, options_.lister);
        if (generation == latest_) {
            delivered_ = true;
            queue_.callOff(std::exchange(patience_, 0));
            ready_(std::move(content));
        }
    }
}

void BackgroundLauncherBuild::onDone(std::uint64_t generation) {
    const auto it = std::find_if(running_.begin(), running_.end(),
                                 [&](const auto& job) { return job->generation == generation; });
    if (it == running_.end()) return;
    const std::shared_ptr<Job> job = *it;
    running_.erase(it);
    std::optional<LauncherContent> content;
    {
        const std::lock_guard<std::mutex> lock(job->mutex);
        content = std::move(job->result);
    }
    if (queued_ && running_.size() < options_.maxWorkers) {
        const Queued next = std::move(*queued_);
        queued_.reset();
        launch(next.generation, next.folder);
    }
    // A superseded build's result is dropped: only the latest request is ever shown.
    if (generation != latest_ || delivered_ || !content) return;
    delivered_ = true;
    queue_.callOff(std::exchange(patience_, 0));
    ready_(std::move(*content));
}

void BackgroundLauncherBuild::onPatienceOver() {
    if (delivered_) return;
    // The latest build keeps running; its content replaces the stand-in when it comes.
    std::wstring folder;
    if (queued_ && queued_->generation == latest_) folder = queued_->folder;
    for (const auto& job : running_)
        if (job->generation == latest_) folder = job->folder;
    ready_(unansweredLauncherContent(folder));
}

}  // namespace replybar::launch
