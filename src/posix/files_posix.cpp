// The reply store's files for the native build. Paths are UTF-8 on disk; reasons are the C
// library's error texts.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/codec.h"
#include "core/files.h"

namespace replybar {
namespace {

std::string nativePath(const std::wstring& path) { return codec::toUtf8(path); }

bool fail(std::wstring& reason, int error) {
    reason = codec::fromUtf8(std::strerror(error));
    return false;
}

// 0 when every byte was written (and, with `sync`, reached the disk), else the errno of the
// failing call.
int writeBytes(int fd, const std::string& bytes, bool sync) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (!sync) return 0;
    return ::fsync(fd) == 0 ? 0 : errno;
}

// So that the rename itself survives a power cut; a folder that refuses is no reason to fail.
void syncFolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

class SystemFiles final : public IFiles {
public:
    bool exists(const std::wstring& path) override {
        struct stat st;
        return ::stat(nativePath(path).c_str(), &st) == 0;
    }

    bool isNormalFile(const std::wstring& path) override {
        struct stat st;
        return ::stat(nativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }

    std::optional<std::string> readAll(const std::wstring& path) override {
        const int fd = ::open(nativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return std::nullopt;
        std::string bytes;
        char buffer[8192];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {  // a folder, or an I/O error
                ::close(fd);
                return std::nullopt;
            }
            if (n == 0) break;
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(fd);
        return bytes;
    }

    bool writeAtomic(const std::wstring& path, const std::string& bytes,
                     std::wstring& reason) override {
        return replace(path, bytes, true, reason);
    }

    bool writeReplace(const std::wstring& path, const std::string& bytes,
                      std::wstring& reason) override {
        return replace(path, bytes, false, reason);
    }

    bool isFolder(const std::wstring& path) override {
        struct stat st;
        return ::stat(nativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    bool writeNew(const std::wstring& path, const std::string& bytes,
                  std::wstring& reason) override {
        static unsigned counter = 0;
        std::wstring temp;
        int fd = -1;
        for (int i = 0; i < 100 && fd < 0; ++i) {
            temp = path + L"." + std::to_wstring(::getpid()) + L"-" + std::to_wstring(++counter) +
                   L".replybar-tmp";
            fd = ::open(nativePath(temp).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 && errno != EEXIST) return fail(reason, errno);
        }
        if (fd < 0) return fail(reason, EEXIST);
        int error = writeBytes(fd, bytes, true);
        if (::close(fd) != 0 && error == 0) error = errno;
        if (error != 0) {
            ::unlink(nativePath(temp).c_str());
            return fail(reason, error);
        }
        if (!rename(temp, path, reason)) {
            ::unlink(nativePath(temp).c_str());
            return false;
        }
        syncFolderOf(nativePath(path));
        return true;
    }

    bool remove(const std::wstring& path, std::wstring& reason) override {
        return ::unlink(nativePath(path).c_str()) == 0 || fail(reason, errno);
    }

    bool rename(const std::wstring& from, const std::wstring& to, std::wstring& reason) override {
        const std::string source = nativePath(from), target = nativePath(to);
        if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
            return true;
        if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return fail(reason, errno);
        // A file system without the no-replace flag: look first, then move.
        struct stat st;
        if (::lstat(target.c_str(), &st) == 0) return fail(reason, EEXIST);
        return ::rename(source.c_str(), target.c_str()) == 0 || fail(reason, errno);
    }

    std::vector<std::wstring> fileNamesIn(const std::wstring& folder) override {
        std::vector<std::wstring> names;
        DIR* dir = ::opendir(nativePath(folder).c_str());
        if (!dir) return names;
        while (const dirent* entry = ::readdir(dir)) {
            struct stat st;
            const std::wstring name = codec::fromUtf8(entry->d_name);
            if (::stat(nativePath(folder + name).c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
                names.push_back(name);
        }
        ::closedir(dir);
        return names;
    }

private:
    // Through "<name>.tmp", moved over the target; `sync` waits for the disk at each step.
    static bool replace(const std::wstring& path, const std::string& bytes, bool sync,
                        std::wstring& reason) {
        const std::string target = nativePath(path);
        const std::string temp = target + ".tmp";
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0) return fail(reason, errno);
        int error = writeBytes(fd, bytes, sync);
        if (::close(fd) != 0 && error == 0) error = errno;
        if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
        if (error != 0) {
            ::unlink(temp.c_str());
            return fail(reason, error);
        }
        if (sync) syncFolderOf(target);
        return true;
    }
};

}  // namespace

std::unique_ptr<IFiles> makeSystemFiles() { return std::make_unique<SystemFiles>(); }

}  // namespace replybar
