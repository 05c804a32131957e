// The reply store: the canned replies' files in the data folder (0.txt, 1.txt, ... one per reply,
// "bmpk.txt" with the icon codes, "n.txt" whose presence switches auto-send off) and their
// loading into the bar's reply table. Every write replaces a file as one step; every failure is
// told to the user in one message box and leaves the other files as they were. The file names
// say little ("bmpk.txt", "n.txt"), but existing installs hold their replies under them, so
// they are kept.
#pragma once

#include <optional>
#include <string>

#include "core/ports.h"
#include "panel/panel_geometry.h"
#include "core/replies.h"

namespace replybar {

class ReplyStore {
public:
    // `dataDir` ends with the path separator; file names are appended to it as they are. An
    // empty one means the system gave no data folder: nothing is read, every write is refused
    // with a message.
    ReplyStore(IFiles& files, IMessages& messages, const std::wstring& dataDir);
    bool hasFolder() const { return !dataDir_.empty(); }
    // The data folder is there now: not renamed, not on a drive that went away.
    bool folderReachable() { return hasFolder() && files_.exists(dataDir_); }

    // Start-up and each opening of the editor: the replies as the files hold them (each as the
    // user typed it, without the line break the writer appends), the icon codes and, when the
    // data folder can be reached, auto-send from "n.txt"; otherwise auto-send as `shown` has
    // it. Reads only, apart from finishing what a killed write or delete left and closing gaps.
    Replies loadReplies(const Replies& shown);

    // Reply file `index` as the editor shows it: lines joined by CR LF, without the line break
    // that ends the file; "" for a missing or empty file. nullopt (reported) for a file that is
    // there but cannot be read.
    std::optional<std::wstring> readReplyForEditing(int index);

    bool writeReplyFile(int index, const std::wstring& text);
    // A new reply's file, never over one that is there: that would be a reply the table does
    // not show (an interrupted delete left it); it is reported instead.
    bool addReplyFile(int index, const std::wstring& text);
    bool hasReplyFile(int index);
    bool writeIconCodeFile(const std::wstring& codes);
    // Deletes reply file `removed`, writes the icon codes as they are without it, and moves the
    // files after it, up to `newCount`, one number down. Stops at the first failure without
    // overwriting anything; a gap it leaves is closed by the next load.
    bool removeReply(int removed, int newCount,
                     const std::optional<std::wstring>& iconCodesAfter = std::nullopt);
    // The last load could not close a gap: some replies on disk are not in the table.
    bool hiddenReplies() const { return hiddenReplies_; }
    // The reply file the last load could not move into its place, while replies are hidden.
    std::wstring firstHiddenFile() const { return hiddenReplies_ ? blockedBy_ : std::wstring(); }
    // Writes or deletes "n.txt"; the replies' auto-send follows only when that succeeded.
    bool setAutoSend(Replies& replies, bool on);

    std::wstring replyPath(int index) const;
    std::wstring iconCodePath() const;
    std::wstring noAutoSendPath() const;

private:
    bool write(const std::wstring& path, const std::wstring& text);
    bool refusedWithoutFolder();
    void finishInterruptedChanges();
    void closeGaps();
    void report(const std::wstring& text);

    IFiles& files_;
    IMessages& messages_;
    std::wstring dataDir_;
    bool hiddenReplies_ = false;
    std::wstring blockedBy_;  // the reply file that last stopped a renumbering, already told
};

}  // namespace replybar
