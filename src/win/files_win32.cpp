// The reply store's files on Windows. A rewrite goes to "<name>.tmp" first and is moved over the
// old file only once it is on disk, so a full disk or a crash never leaves a half-written reply.
#include <windows.h>

#include "win/files.h"
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

// ERROR_SUCCESS when every byte reached the disk, else the failing call's error.
DWORD writeAndFlush(HANDLE file, const std::string& bytes) {
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
    return FlushFileBuffers(file) ? ERROR_SUCCESS : GetLastError();
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

    bool writeAtomic(const std::wstring& path, const std::string& bytes,
                     std::wstring& reason) override {
        const std::wstring temp = path + L".tmp";
        FileHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.ok()) return fail(reason, GetLastError());
        DWORD error = writeAndFlush(file.get(), bytes);
        if (!file.close() && error == ERROR_SUCCESS) error = GetLastError();
        if (error == ERROR_SUCCESS &&
            !MoveFileExW(temp.c_str(), path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            error = GetLastError();
        if (error != ERROR_SUCCESS) {
            DeleteFileW(temp.c_str());
            return fail(reason, error);
        }
        return true;
    }

    bool remove(const std::wstring& path, std::wstring& reason) override {
        return DeleteFileW(path.c_str()) || fail(reason, GetLastError());
    }

    bool rename(const std::wstring& from, const std::wstring& to, std::wstring& reason) override {
        return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) ||
               fail(reason, GetLastError());
    }
};

}  // namespace

std::unique_ptr<IFiles> makeSystemFiles() { return std::make_unique<SystemFiles>(); }

}  // namespace replybar
