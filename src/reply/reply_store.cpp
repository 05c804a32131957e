#include "reply/reply_store.h"

#include <algorithm>
#include <cassert>
#include <string_view>

#include "core/codec.h"
#include "reply/icon_codes.h"
#include "reply/reply_texts.h"

namespace replybar {
namespace {

const wchar_t kNoAutoSendLine[] = L"不要自动发送信息";
const wchar_t kLineBreak[] = L"\r\n";

// A reply as the user typed it: the file's lines joined by CR LF. A line ends at CR LF, a lone CR
// or a lone LF; the break that ends the file is the one the writer appends to every reply and
// starts no further line. The editor shows this and a pick pastes it, so the two never differ.
std::wstring editingTextOf(const std::wstring& fileText) {
    std::wstring text;
    text.reserve(fileText.size());
    for (std::size_t i = 0; i < fileText.size(); ++i) {
        const wchar_t c = fileText[i];
        if (c != L'\r' && c != L'\n') {
            text.push_back(c);
            continue;
        }
        if (c == L'\r' && i + 1 < fileText.size() && fileText[i + 1] == L'\n') ++i;
        if (i + 1 < fileText.size()) text += kLineBreak;
    }
    return text;
}

bool isDigits(std::wstring_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

bool endsWith(std::wstring_view text, std::wstring_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

std::wstring lowerAscii(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

// The names of the store's own files: the replies' "<n>.txt", "bmpk.txt" and "n.txt". Windows
// does not tell the case of a name apart; neither does this.
bool isStoreFileName(const std::wstring& name) {
    const std::wstring lower = lowerAscii(name);
    if (lower == L"bmpk.txt" || lower == L"n.txt") return true;
    return endsWith(lower, L".txt") && isDigits(std::wstring_view(lower).substr(0, lower.size() - 4));
}

constexpr std::wstring_view kTempEnding = L".tmp";
constexpr std::wstring_view kDeletedEnding = L".replybar-deleted";

// "bmpk.txt" of "bmpk.txt.tmp": a rewrite of a store file that was not moved into place.
std::optional<std::wstring> tempFileTarget(const std::wstring& name) {
    if (!endsWith(lowerAscii(name), kTempEnding)) return std::nullopt;
    std::wstring target = name.substr(0, name.size() - kTempEnding.size());
    if (!isStoreFileName(target)) return std::nullopt;
    return target;
}

// "3.txt.1234-5.replybar-deleted": a store file being deleted, renamed to be deleted there.
bool isDeletedStoreFile(const std::wstring& name) {
    if (!endsWith(lowerAscii(name), kDeletedEnding)) return false;
    const std::wstring_view rest = std::wstring_view(name).substr(0, name.size() - kDeletedEnding.size());
    const std::size_t dot = rest.rfind(L'.'), dash = rest.rfind(L'-');
    if (dot == std::wstring_view::npos || dash == std::wstring_view::npos || dash < dot) return false;
    return isDigits(rest.substr(dot + 1, dash - dot - 1)) && isDigits(rest.substr(dash + 1)) &&
           isStoreFileName(std::wstring(rest.substr(0, dot)));
}

}  // namespace

ReplyStore::ReplyStore(IFiles& files, IMessages& messages, const std::wstring& dataDir)
    : files_(files), messages_(messages), dataDir_(dataDir) {}

std::wstring ReplyStore::replyPath(int index) const {
    return dataDir_ + std::to_wstring(index) + L".txt";
}
std::wstring ReplyStore::iconCodePath() const { return dataDir_ + L"bmpk.txt"; }
std::wstring ReplyStore::noAutoSendPath() const { return dataDir_ + L"n.txt"; }

void ReplyStore::report(const std::wstring& text) {
    messages_.show(text, texts::kMessageTitle, MessageKind::Error);
}

Replies ReplyStore::loadReplies(const Replies& shown) {
    Replies out;
    if (!hasFolder()) {  // nothing is read from anywhere else
        out.autoSend = true;
        return out;
    }
    finishInterruptedChanges();
    closeGaps();
    // The first missing number ends the run. Files past the panel's rows stay on disk unseen.
    std::vector<std::wstring> unreadable;
    for (int count = 0; count < kReplyRows && files_.exists(replyPath(count)); ++count) {
        const auto bytes = files_.readAll(replyPath(count));
        // An unreadable file still holds its number, so the replies after it keep theirs and a
        // later save cannot land on them.
        if (!bytes) unreadable.push_back(replyPath(count));
        setReplyText(out.rows.emplace_back(),
                     bytes ? editingTextOf(codec::decodeStoreText(*bytes)) : std::wstring());
    }

    if (files_.exists(iconCodePath())) {
        if (const auto bytes = files_.readAll(iconCodePath()))
            out.iconCodes = withoutLineBreaks(codec::decodeStoreText(*bytes));
        else
            unreadable.push_back(iconCodePath());
    }
    for (int row = 0; row < out.count(); ++row)
        setReplyIcon(out.rows[static_cast<std::size_t>(row)], iconCodeAt(out.iconCodes, row));

    // Auto-send follows the marker file. A data folder that cannot be reached (renamed, on a
    // drive that went away) tells nothing about it: it stays as shown.
    out.autoSend = folderReachable() ? !files_.exists(noAutoSendPath()) : shown.autoSend;

    if (!unreadable.empty()) report(texts::cannotRead(unreadable));
    return out;
}

std::optional<std::wstring> ReplyStore::readReplyForEditing(int index) {
    assert(index >= 0);
    if (!hasFolder()) return std::wstring();
    const std::wstring path = replyPath(index);
    const auto bytes = files_.readAll(path);
    if (!bytes) {
        if (!files_.exists(path)) return std::wstring();
        report(texts::cannotRead({path}));
        return std::nullopt;
    }
    return editingTextOf(codec::decodeStoreText(*bytes));
}

bool ReplyStore::refusedWithoutFolder() {
    if (hasFolder()) return false;
    report(texts::kNoDataFolder);
    return true;
}

bool ReplyStore::write(const std::wstring& path, const std::wstring& text) {
    if (refusedWithoutFolder()) return false;
    std::wstring reason;
    if (files_.writeAtomic(path, codec::encodeStoreText(text), reason)) return true;
    report(texts::cannotSave(path, reason));
    return false;
}

bool ReplyStore::writeReplyFile(int index, const std::wstring& text) {
    assert(index >= 0);
    return write(replyPath(index), text + kLineBreak);
}

bool ReplyStore::writeIconCodeFile(const std::wstring& codes) {
    return write(iconCodePath(), withoutLineBreaks(codes) + kLineBreak);
}

bool ReplyStore::addReplyFile(int index, const std::wstring& text) {
    assert(index >= 0);
    if (refusedWithoutFolder()) return false;
    if (hasReplyFile(index)) {
        report(texts::replyFileExists(replyPath(index)));
        return false;
    }
    return writeReplyFile(index, text);
}

bool ReplyStore::hasReplyFile(int index) { return hasFolder() && files_.exists(replyPath(index)); }

bool ReplyStore::removeReply(int removed, int newCount,
                             const std::optional<std::wstring>& iconCodesAfter) {
    assert(removed >= 0 && removed <= newCount);
    if (refusedWithoutFolder()) return false;
    std::wstring reason;
    if (!files_.remove(replyPath(removed), reason)) {
        report(texts::cannotDelete(replyPath(removed), reason));
        return false;
    }
    // The codes already in the order the files will have once renumbered: a renumbering that
    // stops here is finished by a later load, which keeps that order.
    if (iconCodesAfter) writeIconCodeFile(*iconCodesAfter);
    // Ascending, so each target was freed by the step before; a failed step leaves a gap that
    // the next load closes, and loses none of the replies.
    for (int j = removed + 1; j <= newCount; ++j) {
        if (!files_.rename(replyPath(j), replyPath(j - 1), reason)) {
            report(texts::renumberingStopped(replyPath(j), replyPath(j - 1), reason));
            blockedBy_ = replyPath(j);
            return false;
        }
    }
    return true;
}

// A kill between the steps of a write or a delete leaves the store's own files behind. A
// temporary file beside a file that is there was not moved over it: the file keeps its last
// whole version. One beside no file holds a reply (or codes, or the auto-send marker) that was
// being saved for the first time: it goes into place, before the gaps are closed, so that it
// keeps its number; an empty one holds nothing and goes. A file renamed to be deleted was one
// the user deleted. Nothing else in the folder is touched; what cannot be done now is done at a
// later load.
void ReplyStore::finishInterruptedChanges() {
    for (const std::wstring& name : files_.fileNamesIn(dataDir_)) {
        const std::wstring path = dataDir_ + name;
        std::wstring reason;
        if (isDeletedStoreFile(name)) {
            files_.remove(path, reason);
            continue;
        }
        const std::optional<std::wstring> target = tempFileTarget(name);
        if (!target) continue;
        const std::wstring targetPath = dataDir_ + *target;
        const std::optional<std::string> bytes = files_.readAll(path);
        if (files_.exists(targetPath) || (bytes && bytes->empty())) {
            files_.remove(path, reason);
        } else if (!files_.rename(path, targetPath, reason)) {
            report(texts::cannotRestore(path, targetPath, reason));
        }
    }
}

// Reply files are numbered from 0 without gaps. A delete that stopped halfway (a later file held
// open by another program, the program killed) leaves one: the later files move down into it,
// in ascending order and never over another file, so wherever this stops every reply is still
// in exactly one file, and the next load carries on.
void ReplyStore::closeGaps() {
    hiddenReplies_ = false;
    int next = 0;
    for (int j = 0; j < kReplyRows; ++j) {
        const std::wstring from = replyPath(j);
        if (!files_.exists(from)) continue;
        std::wstring reason;
        if (j != next &&
            (!files_.isNormalFile(from) || !files_.rename(from, replyPath(next), reason))) {
            hiddenReplies_ = true;
            // Told once: the reload right after a stopped delete meets the same file.
            if (from != blockedBy_)
                report(texts::renumberingStopped(from, replyPath(next), reason));
            blockedBy_ = from;
            return;
        }
        ++next;
    }
}

bool ReplyStore::setAutoSend(Replies& replies, bool on) {
    if (refusedWithoutFolder()) return false;
    if (on) {
        std::wstring reason;
        if (files_.exists(noAutoSendPath()) && !files_.remove(noAutoSendPath(), reason)) {
            report(texts::cannotDelete(noAutoSendPath(), reason));
            return false;
        }
    } else if (!write(noAutoSendPath(), std::wstring(kNoAutoSendLine) + kLineBreak)) {
        return false;
    }
    replies.autoSend = on;
    return true;
}

}  // namespace replybar
