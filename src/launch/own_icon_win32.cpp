#include "launch/own_icon_win32.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

#include "win/thread_win32.h"

namespace replybar::launch {
namespace {

// The name's extension, lower case, with its dot; "" when it has none.
std::wstring extensionOf(const std::wstring& path) {
    const std::size_t dot = path.find_last_of(L".\\/");
    if (dot == std::wstring::npos || path[dot] != L'.') return {};
    std::wstring ext = path.substr(dot);
    ::CharLowerBuffW(ext.data(), static_cast<DWORD>(ext.size()));
    return ext;
}

bool isProgram(const std::wstring& path) { return extensionOf(path) == L".exe"; }
bool isShortcut(const std::wstring& path) { return extensionOf(path) == L".lnk"; }

// The small icon at `index` of `file` (a negative index is a resource id), into `entry`.
bool extractInto(EntryIcon& entry, const std::wstring& file, int index) {
    HICON small = nullptr;
    if (::ExtractIconExW(file.c_str(), index, nullptr, &small, 1) == 0 || !small) return false;
    entry.own.reset(small);
    std::wstring source = file;
    ::CharLowerBuffW(source.data(), static_cast<DWORD>(source.size()));
    entry.ownSource = source + L"," + std::to_wstring(index);
    return true;
}

template <typename T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() {
        if (p) p->Release();
    }
};

// The icon a shortcut names, else its target's. Nothing is resolved: a target that moved would
// send the shell searching the disks.
void readShortcut(EntryIcon& entry, const std::wstring& path) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link.p))) ||
        FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) ||
        FAILED(file.p->Load(path.c_str(), STGM_READ)))
        return;
    wchar_t named[MAX_PATH] = {};
    int index = 0;
    if (SUCCEEDED(link.p->GetIconLocation(named, MAX_PATH, &index)) && named[0]) {
        wchar_t expanded[MAX_PATH] = {};
        const DWORD n = ::ExpandEnvironmentStringsW(named, expanded, MAX_PATH);
        if (extractInto(entry, n > 0 && n <= MAX_PATH ? expanded : named, index)) return;
    }
    wchar_t target[MAX_PATH] = {};
    WIN32_FIND_DATAW found{};
    if (FAILED(link.p->GetPath(target, MAX_PATH, &found, 0)) || !target[0]) return;
    // The attributes the shortcut recorded: the target itself is not asked.
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        entry.typeName = target;
        entry.typeAttributes = FILE_ATTRIBUTE_DIRECTORY;
        return;
    }
    if (isProgram(target) && extractInto(entry, target, 0)) return;
    entry.typeName = target;
}

}  // namespace

bool hasOwnIcon(const std::wstring& path) { return isProgram(path) || isShortcut(path); }

EntryIcon readEntryIcon(const std::wstring& path) {
    EntryIcon entry;
    entry.typeName = path;
    try {
        if (isProgram(path))
            extractInto(entry, path, 0);
        else if (isShortcut(path))
            readShortcut(entry, path);
    } catch (const std::exception&) {
        // Out of memory: the type icon.
    }
    return entry;
}

namespace {

// Between the listing and its reading thread, which may outlive the listing: whichever lets go
// last frees it, with any icon read too late.
struct Reads {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::optional<EntryIcon>> done;
    std::size_t count = 0;
    bool abandoned = false;
};

}  // namespace

std::vector<EntryIcon> readEntryIcons(const std::vector<std::wstring>& paths,
                                      const OwnIconReading& reading) {
    std::vector<EntryIcon> icons(paths.size());
    std::vector<std::size_t> toRead;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        icons[i].typeName = paths[i];
        if (hasOwnIcon(paths[i])) toRead.push_back(i);
    }
    if (toRead.empty()) return icons;
    auto reads = std::make_shared<Reads>();
    reads->done.resize(toRead.size());
    std::vector<std::wstring> files;
    for (const std::size_t i : toRead) files.push_back(paths[i]);
    const bool started = win::startThread([reads, files = std::move(files), read = reading.read] {
        const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        for (std::size_t k = 0; k < files.size(); ++k) {
            {
                const std::lock_guard<std::mutex> lock(reads->mutex);
                if (reads->abandoned) break;
            }
            EntryIcon entry = read(files[k]);
            const std::lock_guard<std::mutex> lock(reads->mutex);
            if (reads->abandoned) break;  // the icon goes with `entry`
            reads->done[k] = std::move(entry);
            ++reads->count;
            reads->changed.notify_all();
        }
        if (SUCCEEDED(com)) ::CoUninitialize();
    });
    if (!started) return icons;  // no thread to be had: every entry keeps its type icon
    std::unique_lock<std::mutex> lock(reads->mutex);
    reads->changed.wait_for(lock, reading.budget, [&] { return reads->count == toRead.size(); });
    reads->abandoned = true;
    for (std::size_t k = 0; k < toRead.size(); ++k)
        if (reads->done[k]) icons[toRead[k]] = std::move(*reads->done[k]);
    return icons;
}

}  // namespace replybar::launch
