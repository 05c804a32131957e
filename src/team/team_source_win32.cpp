#include "team/team_source_win32.h"

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <utility>

#include "team/team_http_win32.h"
#include "team/team_texts.h"
#include "win/handles.h"
#include "win/thread_win32.h"

namespace replybar::team {
namespace {

// How often a settling file is looked at again: often enough that it is read soon after the
// settle time, seldom enough that a dozen seconds of settling cost a dozen looks.
constexpr int kSettleLookMs = 1000;
// How long after a change notice its check comes, so that one check follows a burst of them.
constexpr int kNoticeDelayMs = 250;

std::int64_t monotonicMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

LocalTime localNow() {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute};
}

// A step's result that holds only why it failed.
template <typename T>
T failure(DWORD error) {
    T result;
    result.error = error;
    return result;
}

Unreachable unreachable(std::wstring reason) { return {localNow(), std::move(reason)}; }

void closeChangeNotice(HANDLE h) { ::FindCloseChangeNotification(h); }
using ChangeNotice = win::UniqueHandle<HANDLE, closeChangeNotice>;  // none: nullptr

// Runs one step that may block on the source on a thread of its own and waits for it at most
// `limitMs`. A step still running then goes on detached; whatever it returns late is dropped
// with the last reference to its state, and `late` expires once it has ended.
template <typename T, typename Work>
std::optional<T> runLimited(Work work, int limitMs, std::weak_ptr<void>& late) {
    struct State {
        win::UniqueKernelHandle done{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
        std::optional<T> result;  // the step's thread writes it before `done` is set
    };
    auto state = std::make_shared<State>();
    if (!state->done || !win::startThread([state, work = std::move(work)]() mutable {
            state->result = work();
            ::SetEvent(state->done.get());
        }))
        return std::nullopt;  // no thread to be had: told like a source that does not answer
    if (::WaitForSingleObject(state->done.get(), static_cast<DWORD>(limitMs)) == WAIT_OBJECT_0)
        return std::move(state->result);
    late = state;
    return std::nullopt;
}

std::wstring fileErrorReason(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME: return texts::kSourceFileMissing;
        case ERROR_ACCESS_DENIED: return texts::kSourceAccessDenied;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return texts::kSourceFileBusy;
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME: return texts::kSourceShareMissing;
        case ERROR_NETNAME_DELETED:
        case ERROR_UNEXP_NET_ERR:
        case ERROR_NETWORK_UNREACHABLE:
        case ERROR_HOST_UNREACHABLE:
        case ERROR_NO_NETWORK: return texts::kSourceNetworkDown;
        case ERROR_SEM_TIMEOUT: return texts::kSourceNoAnswer;
    }
    // The cloud-file errors of sync clients' placeholders (ERROR_CLOUD_FILE_…).
    if (error >= 358 && error <= 404) return texts::kSourceNotFetched;
    return texts::sourceErrorCode(error);
}

// ---- a path ----------------------------------------------------------------------------------

struct FileLook {
    DWORD error = ERROR_SUCCESS;
    bool folder = false;
    FileStamp stamp;
};

FileStamp stampOf(DWORD sizeHigh, DWORD sizeLow, FILETIME written) {
    return {(std::uint64_t{sizeHigh} << 32) | sizeLow,
            (std::uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime};
}

FileLook lookAt(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return failure<FileLook>(::GetLastError());
    return {ERROR_SUCCESS, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
            stampOf(data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime)};
}

struct FileRead {
    DWORD error = ERROR_SUCCESS;
    std::string bytes;
    FileStamp after;  // the file's stamp once read, from the same handle
};

FileRead readWhole(const std::wstring& path) {
    FileRead read;
    // Every sharing mode: the lead's editor may open, write or replace the file meanwhile.
    const HANDLE opened = ::CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return failure<FileRead>(::GetLastError());
    const win::UniqueKernelHandle file(opened);
    try {
        read.bytes.resize(kSourceReadCap);
    } catch (const std::bad_alloc&) {
        return failure<FileRead>(ERROR_NOT_ENOUGH_MEMORY);
    }
    std::size_t filled = 0;
    while (filled < kSourceReadCap) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), read.bytes.data() + filled,
                        static_cast<DWORD>(kSourceReadCap - filled), &got, nullptr))
            return failure<FileRead>(::GetLastError());
        if (got == 0) break;
        filled += got;
    }
    read.bytes.resize(filled);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.get(), &info))
        return failure<FileRead>(::GetLastError());
    read.after = stampOf(info.nFileSizeHigh, info.nFileSizeLow, info.ftLastWriteTime);
    return read;
}

std::wstring folderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L".";
    return path.substr(0, slash + 1);
}

// ---- the two kinds of source -----------------------------------------------------------------

class Source {
public:
    virtual ~Source() = default;
    // One check; nothing while a file settles.
    virtual std::optional<FetchOutcome> check() = 0;
    // Whether the next check should come soon (a file is settling).
    virtual bool settling() const { return false; }
    // Sets up the change notification where there is one to have: a handle that is signalled
    // at a change, or none.
    virtual HANDLE changeNotice() { return nullptr; }
    virtual void changeNoticed() {}
};

class FileSource : public Source {
public:
    FileSource(std::wstring path, int limitMs, std::int64_t settleMs)
        : path_(std::move(path)), limitMs_(limitMs), settle_(settleMs) {}

    std::optional<FetchOutcome> check() override {
        settling_ = false;
        if (!late_.expired()) return unreachable(texts::kSourceNoAnswer);
        const std::optional<FileLook> look =
            runLimited<FileLook>([path = path_] { return lookAt(path); }, limitMs_, late_);
        if (!look) return unreachable(texts::kSourceNoAnswer);
        if (look->error != ERROR_SUCCESS) {
            noticeTried_ = false;  // once it is back, its folder may have a notification again
            return unreachable(fileErrorReason(look->error));
        }
        reached_ = true;
        if (look->folder) return unreachable(texts::kSourceIsFolder);
        switch (settle_.observe(look->stamp, monotonicMs())) {
            case SettleWatch::Verdict::Wait: settling_ = true; return std::nullopt;
            case SettleWatch::Verdict::AlreadyRead: return Unchanged{localNow()};
            case SettleWatch::Verdict::ReadNow: break;
        }
        const std::optional<FileRead> read =
            runLimited<FileRead>([path = path_] { return readWhole(path); }, limitMs_, late_);
        if (!read || read->error != ERROR_SUCCESS) {
            settle_.readFailed();
            return unreachable(read ? fileErrorReason(read->error) : texts::kSourceNoAnswer);
        }
        // Written to since it settled: the next look sees the new stamp and waits again.
        if (!(read->after == look->stamp) ||
            (look->stamp.size < kSourceReadCap && read->bytes.size() != look->stamp.size)) {
            settle_.readFailed();
            settling_ = true;
            return std::nullopt;
        }
        return parseFetched(std::move(read->bytes), localNow());
    }

    bool settling() const override { return settling_; }

    HANDLE changeNotice() override {
        // Only once the file was reached, and never beside a step still hanging: on a share
        // that does not answer, setting it up would hang as well.
        if (!notice_ && !noticeTried_ && reached_ && late_.expired()) {
            noticeTried_ = true;  // where it fails (network shares often), the checks do
            std::optional<ChangeNotice> made = runLimited<ChangeNotice>(
                [folder = folderOf(path_)] {
                    const HANDLE notice = ::FindFirstChangeNotificationW(
                        folder.c_str(), FALSE,
                        FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE |
                            FILE_NOTIFY_CHANGE_FILE_NAME);
                    return ChangeNotice(notice == INVALID_HANDLE_VALUE ? nullptr : notice);
                },
                limitMs_, late_);
            if (made) notice_ = std::move(*made);
        }
        return notice_ ? notice_.get() : nullptr;
    }

    void changeNoticed() override {
        // A folder that went away ends its notification: set it up again once it is back.
        if (!::FindNextChangeNotification(notice_.get())) {
            notice_.reset();
            noticeTried_ = false;
        }
    }

private:
    std::wstring path_;
    int limitMs_;
    SettleWatch settle_;
    bool settling_ = false;
    bool reached_ = false;
    bool noticeTried_ = false;
    ChangeNotice notice_;
    std::weak_ptr<void> late_;
};

class AddressSource : public Source {
public:
    AddressSource(std::wstring address, int limitMs)
        : address_(std::move(address)), limitMs_(limitMs) {}

    std::optional<FetchOutcome> check() override {
        if (!late_.expired()) return unreachable(texts::kSourceNoAnswer);
        // WinHTTP's own timeouts apply to each phase; the limit here holds the exchange whole.
        std::optional<HttpAnswer> answer =
            runLimited<HttpAnswer>([address = address_, last = last_,
                                    limit = limitMs_] { return exchange(address, last, limit); },
                                   limitMs_, late_);
        if (!answer) return unreachable(texts::kSourceNoAnswer);
        if (answer->error != ERROR_SUCCESS) return unreachable(httpErrorReason(answer->error));
        if (answer->status == HTTP_STATUS_NOT_MODIFIED) return Unchanged{localNow()};
        if (answer->status != HTTP_STATUS_OK)
            return unreachable(texts::sourceServerStatus(answer->status));
        Fetched fetched = parseFetched(std::move(answer->body), localNow());
        // Only a good version's validators: after a faulty one the next answer must be whole.
        if (std::holds_alternative<TeamLibrary>(fetched.parsed))
            last_ = std::move(answer->validators);
        else
            last_ = {};
        return fetched;
    }

private:
    std::wstring address_;
    int limitMs_;
    Validators last_;
    std::weak_ptr<void> late_;
};

}  // namespace

bool isWebAddress(const std::wstring& location) {
    const auto startsWith = [&](const wchar_t* prefix) {
        const std::size_t n = std::char_traits<wchar_t>::length(prefix);
        if (location.size() < n) return false;
        for (std::size_t i = 0; i < n; ++i)
            if ((location[i] >= L'A' && location[i] <= L'Z' ? location[i] - L'A' + L'a'
                                                            : location[i]) != prefix[i])
                return false;
        return true;
    };
    return startsWith(L"http://") || startsWith(L"https://");
}

// Between the watch and its thread, which outlives the watch until its current step is over.
struct TeamSourceWatch::Shared {
    Options options;
    std::function<void(FetchOutcome)> deliver;
    win::UniqueKernelHandle wake{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    std::mutex deliverMutex;  // held while telling, so the destructor can end the telling
    std::atomic<bool> stopping{false};

    void tell(FetchOutcome outcome) {
        const std::lock_guard<std::mutex> lock(deliverMutex);
        if (!stopping) deliver(std::move(outcome));
    }

    void run() {
        std::unique_ptr<Source> source;
        if (isWebAddress(options.location))
            source = std::make_unique<AddressSource>(options.location, options.readLimitMs);
        else
            source = std::make_unique<FileSource>(options.location, options.readLimitMs,
                                                  options.settleMs);
        const std::int64_t periodMs = std::int64_t{std::max(options.checkSeconds, 1)} * 1000;
        std::int64_t nextCheck = monotonicMs();
        // A notice was heard and the check it brought forward is still to come. Until then the
        // folder is not listened to: a folder whose other files never stop changing must not
        // hold the checks off, nor keep this thread spinning.
        bool heard = false;
        while (!stopping) {
            HANDLE handles[2] = {wake.get(), nullptr};
            DWORD count = 1;
            if (!heard)
                if (HANDLE notice = source->changeNotice()) handles[count++] = notice;
            const std::int64_t waitMs = std::max<std::int64_t>(nextCheck - monotonicMs(), 0);
            const DWORD woke =
                ::WaitForMultipleObjects(count, handles, FALSE, static_cast<DWORD>(waitMs));
            if (stopping) break;
            if (woke == WAIT_FAILED) ::Sleep(kNoticeDelayMs);  // never a loop without a pause
            if (woke == WAIT_OBJECT_0 + 1) {
                source->changeNoticed();
                // A save signals several times, and other files of the folder signal too: one
                // check follows a burst shortly.
                nextCheck = std::min(nextCheck, monotonicMs() + kNoticeDelayMs);
                heard = true;
                continue;
            }
            heard = false;
            if (std::optional<FetchOutcome> outcome = source->check()) tell(std::move(*outcome));
            nextCheck = monotonicMs() + (source->settling() ? kSettleLookMs : periodMs);
        }
    }
};

TeamSourceWatch::TeamSourceWatch(Options options, std::function<void(FetchOutcome)> deliver)
    : shared_(std::make_shared<Shared>()) {
    shared_->options = std::move(options);
    shared_->deliver = std::move(deliver);
    // Without a thread nothing is read, and the version in use stays.
    win::startThread([shared = shared_] { shared->run(); });
}

TeamSourceWatch::~TeamSourceWatch() {
    {
        const std::lock_guard<std::mutex> lock(shared_->deliverMutex);
        shared_->stopping = true;
    }
    ::SetEvent(shared_->wake.get());
}

void TeamSourceWatch::checkNow() { ::SetEvent(shared_->wake.get()); }

}  // namespace replybar::team
