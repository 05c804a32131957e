#include "reply/reply_editor.h"

#include <algorithm>

#include "reply/reply_store.h"
#include "reply/icon_codes.h"
#include "reply/reply_texts.h"

namespace replybar {

namespace {
// Longer replies are pasted as they are but not shown in the editor's box, which would take
// minutes to lay a megabyte out.
constexpr std::size_t kLongestEditable = 65536;

// Icon codes as long as the replies: a short string gets spaces (no icon), so that an edit at
// one position never shifts another reply's icon.
std::wstring paddedCodes(const std::wstring& codes, int count) {
    std::wstring out = withoutLineBreaks(codes);
    if (out.size() < static_cast<std::size_t>(count))
        out.resize(static_cast<std::size_t>(count), L' ');
    return out;
}
}  // namespace

ReplyEditor::ReplyEditor(Replies& replies, ReplyStore& store, IMessages& messages,
                         IEditorHost& host, IEditorView& view, IFiles& files, IFileChooser& chooser)
    : replies_(replies),
      store_(store),
      messages_(messages),
      host_(host),
      view_(view),
      files_(files),
      chooser_(chooser) {}

int ReplyEditor::replyCount() const { return replies_.count(); }

int ReplyEditor::selectedNumber() const { return selection_ ? *selection_ + 1 : 0; }

void ReplyEditor::refillList(int count) {
    listRows_ = count;
    selection_.reset();
    showList();
}

void ReplyEditor::showList() { view_.setList(listRows_, selection_); }

std::optional<int> ReplyEditor::rowOrNone(std::optional<int> row) const {
    return row && *row >= 0 && *row < listRows_ ? row : std::nullopt;
}

void ReplyEditor::select(std::optional<int> row) {
    selection_ = rowOrNone(row);
    showList();
    listSelected(selection_);
}

void ReplyEditor::setText(const std::wstring& text) {
    view_.setText(text);
    textChanged();
}

void ReplyEditor::preview(int icon) {
    previewIcon_ = icon;
    view_.setPreviewIcon(icon);
}

void ReplyEditor::resizePanel(int rows) { host_.setPanelSize(panelSizeFor(rows)); }

void ReplyEditor::reload() {
    replies_ = store_.loadReplies(replies_);
    resizePanel(replies_.count());
}

void ReplyEditor::open(int row) {
    // From the files as they are now: a gap an interrupted delete left is closed here once the
    // file that blocked it is free again.
    reload();
    const int n = replyCount();
    refillList(n);
    // A reply number beyond the replies (some were deleted since) selects the last one.
    const int index = n == 0 ? 0 : std::clamp(row, 0, n - 1);
    if (n != 0)
        select(index);
    else
        setText(L"");
    savedIconCodes_ = paddedCodes(replies_.iconCodes, n);
    pendingIconCodes_ = savedIconCodes_;
    preview(n != 0 ? iconIndexOf(iconCodeAt(savedIconCodes_, index)) : -1);
    view_.enableDelete(n != 0);
    if (n == 0) addClicked();
    view_.setAutoSendChecked(replies_.autoSend);
}

void ReplyEditor::openAdding(const std::wstring& text, int icon) {
    open(kReplyRows);  // the last reply stays selected behind the new one
    addClicked();
    if (!adding()) return;
    setText(text);
    const bool hasIcon = icon >= 0 && icon <= 9;
    newReplyIconCode_ = hasIcon ? static_cast<wchar_t>(L'0' + icon) : L' ';
    preview(hasIcon ? icon : -1);
}

void ReplyEditor::listSelected(std::optional<int> row) {
    selection_ = rowOrNone(row);
    const int k = selectedNumber();
    if (k == 0) {
        setText(L"");
        view_.focusText();
        return;
    }
    if (adding()) return;
    // Whatever the file holds replaces the box, so no other reply's text can stay in it. A
    // reply that cannot be read, or is too long for the box, cannot be saved over from here.
    const auto text = store_.readReplyForEditing(k - 1);
    lockedNumber_ = 0;
    if (!text) {
        lockedNumber_ = k;
        lockedReason_ = texts::unreadableNotSaved(store_.replyPath(k - 1));
    } else if (text->size() > kLongestEditable) {
        lockedNumber_ = k;
        lockedReason_ = texts::tooLongToEdit(text->size(), store_.replyPath(k - 1));
        messages_.show(lockedReason_, texts::kNoticeTitle, MessageKind::Info);
    }
    setText(lockedNumber_ ? L"" : *text);
    pendingIconCodes_ = savedIconCodes_;
    if (k <= replyCount()) preview(replies_.rows[static_cast<std::size_t>(k - 1)].icon);
}

void ReplyEditor::textChanged() { pendingIconCodes_ = savedIconCodes_; }

void ReplyEditor::pointerOverBackground() { view_.showIconStrip(false); }

void ReplyEditor::chooseIconClicked() {
    view_.showIconStrip(true);
    view_.focusText();
}

void ReplyEditor::iconClicked(int icon) {
    const int k = selectedNumber();
    if (k == 0) {
        view_.focusText();
        return;
    }
    preview(icon);
    const wchar_t code = static_cast<wchar_t>(L'0' + icon);
    if (adding())
        newReplyIconCode_ = code;
    else
        pendingIconCodes_ = replaceIconCode(pendingIconCodes_, k, code);
    view_.showIconStrip(false);
}

void ReplyEditor::clearIconClicked() {
    const int k = selectedNumber();
    if (k == 0) {
        view_.focusText();
        return;
    }
    preview(-1);
    if (adding())
        newReplyIconCode_ = L' ';
    else
        pendingIconCodes_ = replaceIconCode(pendingIconCodes_, k, L' ');
    view_.focusText();
}

void ReplyEditor::addClicked() {
    if (adding()) return;
    // Replies a stopped delete left unseen come back first, so the new one goes after them.
    if (store_.hiddenReplies()) reloadFromStore();
    if (refusedWhileRepliesHidden()) return;
    const int n = replyCount();
    if (n >= kReplyRows) {
        messages_.show(texts::kTableFull, texts::kNoticeTitle, MessageKind::Info);
        view_.focusText();
        return;
    }
    mode_ = Mode::Adding;
    newReplyIconCode_ = L'0';
    preview(0);
    listRows_ = n + 1;
    select(n);
    setText(L"");
    view_.showCancelAdd(true);
    view_.enableDelete(false);
    view_.enableList(false);
    view_.focusText();
}

// A new reply takes the number after the shown ones, which is where the hidden ones go once
// their file is free, and its icon code would land among theirs: it waits until they are back.
bool ReplyEditor::refusedWhileRepliesHidden() {
    if (!store_.hiddenReplies()) return false;
    messages_.show(texts::addingWaitsForHidden(store_.firstHiddenFile()), texts::kNoticeTitle,
                   MessageKind::Info);
    view_.focusText();
    return true;
}

void ReplyEditor::cancelAddClicked() {
    mode_ = Mode::Changing;
    const int n = replyCount();
    select(n - 1);  // reply n; with no replies the list keeps no selection
    listRows_ = std::min(listRows_, n);  // the new reply's row goes
    if (selection_ && *selection_ >= listRows_) selection_.reset();
    showList();
    view_.enableList(true);
    view_.showCancelAdd(false);
    view_.enableDelete(n != 0);
    view_.focusText();
}

void ReplyEditor::confirmClicked() {
    const std::wstring text = view_.text();
    if (text.empty()) {
        messages_.show(texts::kNothingTyped, texts::kNoticeTitle, MessageKind::Info);
        view_.focusText();
        return;
    }
    const int k = selectedNumber();
    if (k == 0) {
        view_.focusText();
        return;
    }
    if (adding())
        confirmAdd(k, text);
    else
        confirmChange(k, text);
    view_.focusText();
}

// The file is written first: a failed write (already reported) changes nothing in memory.
void ReplyEditor::confirmChange(int k, const std::wstring& text) {
    if (k == lockedNumber_) {
        messages_.show(lockedReason_, texts::kNoticeTitle, MessageKind::Error);
        return;
    }
    if (k > replyCount() || !store_.writeReplyFile(k - 1, text)) return;
    Reply& row = replies_.rows[static_cast<std::size_t>(k - 1)];
    setReplyText(row, text);
    if (pendingIconCodes_ != savedIconCodes_) {
        if (!store_.writeIconCodeFile(pendingIconCodes_)) return;
        savedIconCodes_ = pendingIconCodes_;
        replies_.iconCodes = pendingIconCodes_;
        setReplyIcon(row, previewIcon_ >= 0 ? static_cast<wchar_t>(L'0' + previewIcon_) : L' ');
    }
}

void ReplyEditor::confirmAdd(int k, const std::wstring& text) {
    const int n = k - 1;
    if (k > kReplyRows || n != replyCount()) return;
    if (!store_.addReplyFile(k - 1, text)) {
        // A file is there already (reported): show what is on disk and let the user add again.
        if (store_.hasReplyFile(k - 1)) {
            cancelAddClicked();
            reloadFromStore();
        }
        return;
    }
    Reply& row = replies_.rows.emplace_back();
    setReplyText(row, text);
    pendingIconCodes_ = appendIconCode(pendingIconCodes_, n, newReplyIconCode_);
    savedIconCodes_ = replies_.iconCodes = pendingIconCodes_;
    setReplyIcon(row, newReplyIconCode_);
    // The reply file exists now, so it counts even if the icon file cannot be written (that
    // failure is reported; the next start shows the reply without its icon).
    store_.writeIconCodeFile(pendingIconCodes_);
    resizePanel(k);
    mode_ = Mode::Changing;
    view_.showCancelAdd(false);
    view_.enableDelete(true);
    view_.enableList(true);
}

void ReplyEditor::deleteClicked() {
    if (messages_.show(texts::kDeleteQuestion, texts::kDeleteTitle, MessageKind::Question) !=
        MessageAnswer::Yes) {
        view_.focusText();
        return;
    }
    const int n = replyCount(), k = selectedNumber();
    if (k == 0 || k > n) {
        view_.focusText();
        return;
    }
    const bool last = k == n;
    const int r = last ? 0 : k - 1;
    const std::wstring codesAfter = removeIconCode(pendingIconCodes_, k);
    if (!store_.removeReply(k - 1, n - 1, codesAfter)) {
        reloadFromStore();
        return;
    }
    replies_.rows.erase(replies_.rows.begin() + (k - 1));
    refillList(n - 1);
    pendingIconCodes_ = codesAfter;
    savedIconCodes_ = replies_.iconCodes = pendingIconCodes_;
    if (n - 1 != 0) {
        resizePanel(n - 1);
        select(r);
    } else {
        view_.enableDelete(false);
        setText(L"");
    }
}

// After a change that stopped halfway (already reported): show the files exactly as they are on
// disk, so that nothing the user sees is out of step with the store.
void ReplyEditor::reloadFromStore() {
    reload();
    const int n = replyCount();
    savedIconCodes_ = pendingIconCodes_ = paddedCodes(replies_.iconCodes, n);
    refillList(n);
    view_.enableDelete(n != 0);
    if (n != 0)
        select(0);
    else
        setText(L"");
}

void ReplyEditor::autoSendClicked(bool checked) {
    // The marker file decides at the next start: keep the box as the file says.
    if (!store_.setAutoSend(replies_, checked)) view_.setAutoSendChecked(replies_.autoSend);
    view_.focusText();
}

void ReplyEditor::returnClicked() { view_.close(); }

void ReplyEditor::exitClicked() { host_.exitProgram(); }

void ReplyEditor::closing() {
    const int n = replyCount();
    // Replies a stopped delete hides are still on disk, and the icon file holds their codes.
    if (n != 0 || store_.hiddenReplies()) {
        resizePanel(n);
        return;
    }
    resizePanel(0);
    savedIconCodes_.clear();
    pendingIconCodes_.clear();
    replies_.iconCodes.clear();
    // No replies because the data folder could not be reached (renamed, a drive that went
    // away) is not a list the user emptied: nothing to clear, and nothing to complain about.
    if (store_.folderReachable()) store_.writeIconCodeFile(L"");
}

}  // namespace replybar
