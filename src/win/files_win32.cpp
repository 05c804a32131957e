// The reply store's files on Windows. A rewrite goes to "<name>.tmp" first and is moved over the
// old file only once it is on disk, so a full disk or a crash never leaves a half-written reply;
// the pick history's rewrite skips the waits for the disk, not the move.
// A step that another program's open handle blocks for a moment (a virus scanner, an indexer, a
// sync client) is tried again for about a second before it counts as failed.
#include <windows.h>

#include <atomic>
#include <vector>

#include "core/files.h"
#include "core/retry.h"
#include "win/system_error_win32.h"

namespace replybar {
namespace {

// Owns one file handle for the length of one operation.
class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    // Closes now; false when the system reported an error on closing.
    bool close() {
        if (!ok()) return true;
        const BOOL closed = CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return closed != FALSE;
    }

private:
    HANDLE h_;
};

bool fail(std::wstring& reason, DWORD error) {
    reason = win::systemErrorText(error);
    return false;
}

// What another program's handle causes while it has the file open: it goes away by itself. A
// file whose deletion waits for its last handle to close answers "access denied" too.
bool worthWaiting(unsigned long error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED;
}

// Runs a file call returning BOOL, again after short pauses while it fails for a reason that
// waiting cures; ERROR_SUCCESS or the last error.
template <class Call>
DWORD retrying(Call call) {
    return static_cast<DWORD>(retryBriefly(
        [&]() -> unsigned long {
            if (call()) return ERROR_SUCCESS;
            const DWORD error = GetLastError();
            return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
        },
        worthWaiting, [](unsigned ms) { Sleep(ms); }));
}

bool nameTaken(DWORD error) { return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS; }

// A name beside `path` for a file of the program's own, which no user gives a file: the path, the
// process id, a running number and what the file is for ("0.txt.1234-1.replybar-deleted"). It is
// only ever created where nothing is; the caller moves on to the next number when it is taken.
std::wstring siblingName(const std::wstring& path, const wchar_t* purpose) {
    static std::atomic<unsigned> counter{0};
    return path + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter) + L".replybar-" + purpose;
}
constexpr int kNameTries = 100;

// Whether a write waits until its bytes and its rename are on the disk.
enum class Durable { Yes, No };

// ERROR_SUCCESS when every byte was written (and, when durable, reached the disk), else the
// failing call's error.
DWORD writeBytes(HANDLE file, const std::string& bytes, Durable durable) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(file, p, chunk, &written, nullptr)) return GetLastError();
        if (written == 0) return ERROR_WRITE_FAULT;
        p += written;
        left -= written;
    }
    if (durable == Durable::No) return ERROR_SUCCESS;
    return FlushFileBuffers(file) ? ERROR_SUCCESS : GetLastError();
}

// Writes `bytes` into the open temporary file, flushes (when durable) and closes it, then moves
// it to `path` (over a file there only with MOVEFILE_REPLACE_EXISTING in `moveFlags`). On
// failure the temporary file is deleted and `reason` filled.
bool putInPlace(FileHandle& file, const std::wstring& temp, const std::wstring& path,
                const std::string& bytes, DWORD moveFlags, Durable durable, std::wstring& reason) {
    DWORD error = writeBytes(file.get(), bytes, durable);
    if (!file.close() && error == ERROR_SUCCESS) error = GetLastError();
    if (durable == Durable::Yes) moveFlags |= MOVEFILE_WRITE_THROUGH;
    if (error == ERROR_SUCCESS)
        error = retrying([&] { return MoveFileExW(temp.c_str(), path.c_str(), moveFlags); });
    if (error == ERROR_SUCCESS) return true;
    DeleteFileW(temp.c_str());
    return fail(reason, error);
}

class SystemFiles final : public IFiles {
public:
    bool exists(const std::wstring& path) override {
        return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    bool isNormalFile(const std::wstring& path) override {
        const DWORD a = GetFileAttributesW(path.c_str());
        return a != INVALID_FILE_ATTRIBUTES &&
               !(a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    }

    std::optional<std::string> readAll(const std::wstring& path) override {
        FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.ok()) return std::nullopt;
        std::string bytes;
        char buffer[8192];
        for (;;) {
            DWORD n = 0;
            if (!ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr)) return std::nullopt;
            if (n == 0) break;
            bytes.append(buffer, n);
        }
        return bytes;
    }

    bool isFolder(const std::wstring& path) override {
        const DWORD a = GetFileAttributesW(path.c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    }

    bool writeAtomic(const std::wstring& path, const std::string& bytes,
                     std::wstring& reason) override {
        return replace(path, bytes, Durable::Yes, reason);
    }

    bool writeReplace(const std::wstring& path, const std::string& bytes,
                      std::wstring& reason) override {
        return replace(path, bytes, Durable::No, reason);
    }

    bool writeNew(const std::wstring& path, const std::string& bytes,
                  std::wstring& reason) override {
        std::wstring temp;
        HANDLE created = INVALID_HANDLE_VALUE;
        DWORD error = ERROR_FILE_EXISTS;
        for (int i = 0; i < kNameTries && nameTaken(error); ++i) {
            temp = siblingName(path, L"tmp");
            created = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
            error = created == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
        }
        if (error != ERROR_SUCCESS) return fail(reason, error);
        FileHandle file(created);
        return putInPlace(file, temp, path, bytes, 0, Durable::Yes, reason);
    }

    // The file is first renamed to a name of the program's own and deleted there. A file that
    // another program still has open is only gone once that program closes it, and until then
    // Windows 7 keeps its name taken: the next reply file could not be renamed onto it.
    bool remove(const std::wstring& path, std::wstring& reason) override {
        std::wstring doomed;
        DWORD error = ERROR_ALREADY_EXISTS;
        for (int i = 0; i < kNameTries && nameTaken(error); ++i) {
            doomed = siblingName(path, L"deleted");
            error = retrying(
                [&] { return MoveFileExW(path.c_str(), doomed.c_str(), MOVEFILE_WRITE_THROUGH); });
        }
        if (error == ERROR_SUCCESS) {
            error = retrying([&] { return DeleteFileW(doomed.c_str()); });
            if (error == ERROR_SUCCESS) return true;
            // Not deletable (read-only, say): back to its own name, so that no reply goes missing.
            MoveFileExW(doomed.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH);
            return fail(reason, error);
        }
        if (worthWaiting(error)) return fail(reason, error);
        // No room for the longer name, or some other reason the rename cannot be: delete in place.
        error = retrying([&] { return DeleteFileW(path.c_str()); });
        return error == ERROR_SUCCESS || fail(reason, error);
    }

    bool rename(const std::wstring& from, const std::wstring& to, std::wstring& reason) override {
        const DWORD error =
            retrying([&] { return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH); });
        return error == ERROR_SUCCESS || fail(reason, error);
    }

    std::vector<std::wstring> fileNamesIn(const std::wstring& folder) override {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        const HANDLE search = FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &found,
                                               FindExSearchNameMatch, nullptr, 0);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.emplace_back(found.cFileName);
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return names;
    }

private:
    // Through "<name>.tmp": a temporary file left by a crash is written over by the next write.
    static bool replace(const std::wstring& path, const std::string& bytes, Durable durable,
                        std::wstring& reason) {
        const std::wstring temp = path + L".tmp";
        FileHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.ok()) return fail(reason, GetLastError());
        return putInPlace(file, temp, path, bytes, MOVEFILE_REPLACE_EXISTING, durable, reason);
    }
};

}  // namespace

std::unique_ptr<IFiles> makeSystemFiles() { return std::make_unique<SystemFiles>(); }

}  // namespace replybar
