// The team library's file on a path: a drive, a mapped drive, \\server\share\… or a folder a
// sync client keeps.
#include <windows.h>

#include <new>

#include "team/team_http_win32.h"
#include "team/team_schedule.h"
#include "team/team_source_parts_win32.h"
#include "team/team_texts.h"

namespace replybar::team {
namespace {

// How a change in the file's folder is heard, where the folder's change notification works.
void closeChangeNotice(HANDLE h) { ::FindCloseChangeNotification(h); }
using ChangeNotice = win::UniqueHandle<HANDLE, closeChangeNotice>;  // none: nullptr
// A notification that died with a server restart or an SMB reconnect is never signalled and
// says nothing of it: it is set up afresh this often.
constexpr std::int64_t kNoticeRenewMs = 5 * 60 * 1000;

bool isNotFound(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
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
        case 384: return texts::kSourceNeedsSmb1;  // ERROR_SMB1_NOT_AVAILABLE
    }
    if (const wchar_t* cloud = texts::cloudFileError(error)) return cloud;
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
    // Room for the file as it is now and one byte more, which tells that it grew meanwhile;
    // the whole cap only then. A buffer of the cap up front would touch 2 MB for a small file.
    LARGE_INTEGER size{};
    std::size_t room = kSourceReadCap;
    if (::GetFileSizeEx(file.get(), &size) && size.QuadPart >= 0 &&
        static_cast<std::uint64_t>(size.QuadPart) < kSourceReadCap)
        room = static_cast<std::size_t>(size.QuadPart) + 1;
    std::size_t filled = 0;
    try {
        read.bytes.resize(room);
        while (filled < kSourceReadCap) {
            if (filled == read.bytes.size()) read.bytes.resize(kSourceReadCap);
            DWORD got = 0;
            if (!::ReadFile(file.get(), read.bytes.data() + filled,
                            static_cast<DWORD>(read.bytes.size() - filled), &got, nullptr))
                return failure<FileRead>(::GetLastError());
            if (got == 0) break;
            filled += got;
        }
    } catch (const std::bad_alloc&) {
        return failure<FileRead>(ERROR_NOT_ENOUGH_MEMORY);
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

class FileSource : public Source {
public:
    FileSource(std::wstring path, int limitMs, std::int64_t settleMs)
        : path_(std::move(path)), limitMs_(limitMs), settle_(settleMs) {}

    std::optional<FetchOutcome> check() override {
        settling_ = lookFailed_ = false;
        if (!late_.expired()) return unreachable(texts::kSourceNoAnswer);
        const std::optional<FileLook> look =
            runLimited<FileLook>([path = path_] { return lookAt(path); }, limitMs_, late_);
        if (!look) return unreachable(texts::kSourceNoAnswer);
        if (look->error != ERROR_SUCCESS) {
            // Its notification may have died with the share: set up anew once it is back.
            dropNotice();
            if (isNotFound(look->error) && missing_.waitOut(monotonicMs())) {
                settling_ = true;  // saved by delete and rename, or a share's stale cache
                return std::nullopt;
            }
            lookFailed_ = true;
            return unreachable(fileErrorReason(look->error));
        }
        missing_.found();
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
        missing_.readWell();
        return parseFetched(std::move(read->bytes), localNow());
    }

    bool settling() const override { return settling_; }
    bool lookFailed() const override { return lookFailed_; }

    HANDLE changeNotice() override {
        // Only once the file was reached, and never beside a step still hanging: on a share
        // that does not answer, setting it up would hang as well.
        const std::int64_t now = monotonicMs();
        if ((!noticeTriedAt_ || now - *noticeTriedAt_ >= kNoticeRenewMs) && reached_ &&
            late_.expired()) {
            noticeTriedAt_ = now;  // where it fails (network shares often), the checks do
            std::optional<ChangeNotice> made = runLimited<ChangeNotice>(
                [folder = folderOf(path_)] {
                    const HANDLE notice = ::FindFirstChangeNotificationW(
                        folder.c_str(), FALSE,
                        FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE |
                            FILE_NOTIFY_CHANGE_FILE_NAME);
                    return ChangeNotice(notice == INVALID_HANDLE_VALUE ? nullptr : notice);
                },
                limitMs_, late_);
            if (made) notice_ = std::move(*made);  // the old one closes only now
        }
        return notice_ ? notice_.get() : nullptr;
    }

    void changeNoticed() override {
        // A folder that went away ends its notification: set it up again once it is back.
        if (!::FindNextChangeNotification(notice_.get())) dropNotice();
    }

private:
    void dropNotice() {
        notice_.reset();
        noticeTriedAt_.reset();
        reached_ = false;  // set up only once the file is reached again, not on a dead share
    }

    std::wstring path_;
    int limitMs_;
    SettleWatch settle_;
    MissingGrace missing_;
    bool settling_ = false;
    bool lookFailed_ = false;
    bool reached_ = false;
    std::optional<std::int64_t> noticeTriedAt_;  // when it was last set up, or tried
    ChangeNotice notice_;
    std::weak_ptr<void> late_;
};

}  // namespace

std::unique_ptr<Source> makeFileSource(std::wstring path, int limitMs, std::int64_t settleMs) {
    return std::make_unique<FileSource>(std::move(path), limitMs, settleMs);
}

}  // namespace replybar::team
