// The launcher build off the bar's thread. Listing a launch folder on a network drive that is
// offline can take half a minute, and a window that does not answer for five seconds is replaced
// by a ghost that can take the focus: the bar must answer at once, always. So the folder is
// listed and its icons converted on a worker thread, and the result is handed to the bar's
// thread through the bar's queue, where the menu is then made.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "launch/launcher_win32.h"
#include "win/ui_queue_win32.h"

namespace replybar::launch {

class BackgroundLauncherBuild {
public:
    // Called on the creating thread with the content of the latest build; or, when the folder
    // has not answered within `patienceMs`, with unansweredLauncherContent first and the real
    // content once it comes.
    using Ready = std::function<void(LauncherContent)>;
    struct Options {
        FolderLister lister = listLaunchFolder;
        unsigned patienceMs = 3000;
        // Workers alive at once. A folder that hangs keeps its worker; the next build still runs
        // beside it, and further requests wait for one of them to end.
        std::size_t maxWorkers = 2;
    };

    // `queue` runs work on the creating thread; it outlives the build.
    BackgroundLauncherBuild(win::UiQueue& queue, Ready ready);
    BackgroundLauncherBuild(win::UiQueue& queue, Ready ready, Options options);
    // Returns at once, also while a worker hangs: a worker that ends later finds the build gone
    // and drops its result.
    ~BackgroundLauncherBuild();
    BackgroundLauncherBuild(const BackgroundLauncherBuild&) = delete;
    BackgroundLauncherBuild& operator=(const BackgroundLauncherBuild&) = delete;

    // Builds `folder` in the background. A build still running is superseded: its result is
    // dropped when it arrives.
    void start(const std::wstring& folder);
    // The latest build has not been handed over yet (the stand-in of a slow folder aside).
    bool pending() const { return !delivered_; }
    std::size_t workersAlive() const { return running_.size(); }

    struct Job;

private:
    void launch(std::uint64_t generation, const std::wstring& folder);
    void onDone(std::uint64_t generation);
    void onPatienceOver();

    win::UiQueue& queue_;
    Ready ready_;
    Options options_;
    // Work of a worker that comes after the build has gone finds this expired.
    std::shared_ptr<BackgroundLauncherBuild*> self_;
    win::UiQueue::Delay patience_ = 0;
    std::uint64_t latest_ = 0;
    bool delivered_ = true;
    std::vector<std::shared_ptr<Job>> running_;
    struct Queued {
        std::uint64_t generation;
        std::wstring folder;
    };
    std::optional<Queued> queued_;
};

}  // namespace replybar::launch
