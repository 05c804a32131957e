#include "launch/launcher_build_win32.h"

#include <objbase.h>

#include <algorithm>
#include <mutex>

#include "win/thread_win32.h"

namespace replybar::launch {
namespace {

constexpr wchar_t kClassName[] = L"ReplyBar.LauncherBuild";
constexpr UINT kBuildDone = WM_APP + 1;  // wParam: the build's generation
constexpr UINT_PTR kPatienceTimer = static_cast<UINT_PTR>(TimerId::LauncherBuildPatience);

}  // namespace

// Shared by the bar's thread and one worker: whichever lets go last frees it, so a worker may
// outlive the bar.
struct BackgroundLauncherBuild::Job {
    std::uint64_t generation = 0;
    std::wstring folder;
    std::mutex mutex;
    std::optional<LauncherContent> result;
};

BackgroundLauncherBuild::BackgroundLauncherBuild(Ready ready)
    : BackgroundLauncherBuild(std::move(ready), Options{}) {}

BackgroundLauncherBuild::BackgroundLauncherBuild(Ready ready, Options options)
    : ready_(std::move(ready)), options_(std::move(options)) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    if (!::GetClassInfoExW(instance, kClassName, &wc)) {
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &windowProc;
        wc.hInstance = instance;
        wc.lpszClassName = kClassName;
        ::RegisterClassExW(&wc);
    }
    window_ = ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                                nullptr);
    if (window_) ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (options_.maxWorkers == 0) options_.maxWorkers = 1;
}

BackgroundLauncherBuild::~BackgroundLauncherBuild() {
    if (!window_) return;
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    // From here on a worker's PostMessage fails, and its job dies with its last reference.
    ::DestroyWindow(window_);
}

void BackgroundLauncherBuild::start(const std::wstring& folder) {
    const std::uint64_t generation = ++latest_;
    delivered_ = false;
    if (window_) ::SetTimer(window_, kPatienceTimer, options_.patienceMs, nullptr);
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
    const HWND window = window_;
    const bool started = win::startThread([job, window, lister = options_.lister] {
        // The shell's icon look-up wants COM on the calling thread.
        const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        LauncherContent content = gatherLauncherContent(job->folder, lister);
        {
            const std::lock_guard<std::mutex> lock(job->mutex);
            job->result = std::move(content);
        }
        if (SUCCEEDED(com)) ::CoUninitialize();
        ::PostMessageW(window, kBuildDone, static_cast<WPARAM>(job->generation), 0);
    });
    if (started) {
        running_.push_back(std::move(job));
    } else {
        // No thread to be had: list on this thread rather than show nothing.
        LauncherContent content = gatherLauncherContent(folder, options_.lister);
        if (generation == latest_) {
            delivered_ = true;
            if (window_) ::KillTimer(window_, kPatienceTimer);
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
    ::KillTimer(window_, kPatienceTimer);
    ready_(std::move(*content));
}

void BackgroundLauncherBuild::onPatienceOver() {
    ::KillTimer(window_, kPatienceTimer);
    if (delivered_) return;
    // The latest build keeps running; its content replaces the stand-in when it comes.
    std::wstring folder;
    if (queued_ && queued_->generation == latest_) folder = queued_->folder;
    for (const auto& job : running_)
        if (job->generation == latest_) folder = job->folder;
    ready_(unansweredLauncherContent(folder));
}

LRESULT CALLBACK BackgroundLauncherBuild::windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self =
        reinterpret_cast<BackgroundLauncherBuild*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) {
        try {
            if (msg == kBuildDone) {
                self->onDone(static_cast<std::uint64_t>(wp));
                return 0;
            }
            if (msg == WM_TIMER && wp == kPatienceTimer) {
                self->onPatienceOver();
                return 0;
            }
        } catch (...) {
            // Nothing unwinds through a window procedure; the next build starts afresh.
            return 0;
        }
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace replybar::launch
