// The icon a launch-folder entry has of its own: a program's first icon, the icon a shortcut
// names or that of its target. The shell's type icon says only "shortcut" or "program"; these
// are read from the files themselves, which may sit on a network drive that does not answer,
// so every read of one listing shares one time budget.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "win/handles.h"

namespace replybar::launch {

// What one entry shows once its file has been read.
struct EntryIcon {
    // The icon read from a file (a program's own, or the one a shortcut names); null: the icon
    // of typeName's type.
    win::UniqueIcon own;
    std::wstring ownSource;  // the file and index it came from: entries of one source share it
    // The name whose type gives the icon otherwise: the entry itself, or a shortcut's target.
    std::wstring typeName;
    DWORD typeAttributes = 0;  // FILE_ATTRIBUTE_DIRECTORY for a folder target
};

// Reads the entry at `path`: a program (.exe) gives its first icon; a shortcut (.lnk) the icon
// it names, else its target's (a program's own icon, a folder's, a document's by its type);
// anything else, and whatever cannot be read, its own type. Wants COM on the calling thread and
// may wait on the disk.
EntryIcon readEntryIcon(const std::wstring& path);

// Whether an entry's icon needs its file read at all (programs and shortcuts).
bool hasOwnIcon(const std::wstring& path);

struct OwnIconReading {
    std::function<EntryIcon(const std::wstring& path)> read = readEntryIcon;
    // All reads of one listing together; an entry not read by then keeps its type icon.
    std::chrono::milliseconds budget{2000};
};

// The icons of `paths`, in order. The reads run on a thread of their own, one after another;
// when the budget is spent this returns, and that thread's later results are dropped.
std::vector<EntryIcon> readEntryIcons(const std::vector<std::wstring>& paths,
                                      const OwnIconReading& reading = {});

}  // namespace replybar::launch
