// Threads that run a piece of work and end on their own, made by the system directly.
// The C++ library's threads come, with this toolchain, from a pthreads layer over the system's
// threads. Under load, a thread of that layer created while a detached one was ending was seen
// never to start: the team library's watch then stood still for good. A thread made here has
// no such layer between it and the system.
#pragma once

#include <windows.h>

#include <memory>
#include <new>
#include <utility>

namespace replybar::win {

namespace detail {

template <typename Work>
DWORD WINAPI runOwnedWork(void* param) {
    const std::unique_ptr<Work> work(static_cast<Work*>(param));
    (*work)();
    return 0;
}

}  // namespace detail

// Runs `work` on a thread of its own that nobody waits for. False when no thread could be had;
// `work` has then not run and never will.
template <typename Work>
bool startThread(Work work) {
    auto* owned = new (std::nothrow) Work(std::move(work));
    if (!owned) return false;
    const HANDLE thread =
        ::CreateThread(nullptr, 0, &detail::runOwnedWork<Work>, owned, 0, nullptr);
    if (!thread) {
        delete owned;
        return false;
    }
    ::CloseHandle(thread);
    return true;
}

}  // namespace replybar::win
