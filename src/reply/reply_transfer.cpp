// The reply editor's "导出…" and "导入…": the user's own replies written as a team library file
// of one group, and such a file's replies added after the existing ones.
#include <algorithm>
#include <variant>

#include "reply/icon_codes.h"
#include "reply/reply_editor.h"
#include "reply/reply_store.h"
#include "reply/reply_texts.h"
#include "team/team_csv.h"
#include "team/team_texts.h"

namespace replybar {

void ReplyEditor::exportClicked() {
    int replies = 0;
    if (const auto bytes = exportFile(replies)) {
        if (const auto path = chooser_.chooseFileToSave(texts::kExportFileName)) {
            std::wstring reason;
            if (files_.writeAtomic(*path, *bytes, reason))
                messages_.show(texts::exported(replies, *path), texts::kNoticeTitle,
                               MessageKind::Info);
            else
                messages_.show(texts::cannotExport(*path, reason), texts::kMessageTitle,
                               MessageKind::Error);
        }
    }
    view_.focusText();
}

// The replies as their files hold them now, each with its icon; empty ones are left out, since
// an import would skip them. Only a file that reads back whole is offered for saving, and
// `replies` is what it gives back.
std::optional<std::string> ReplyEditor::exportFile(int& replies) {
    if (!adding() && store_.hiddenReplies()) reloadFromStore();
    if (store_.hiddenReplies()) {
        messages_.show(texts::exportWaitsForHidden(store_.firstHiddenFile()), texts::kNoticeTitle,
                       MessageKind::Info);
        return std::nullopt;
    }
    std::vector<team::TeamReply> own;
    for (int i = 0; i < replyCount(); ++i) {
        const auto text = store_.readReplyForEditing(i);  // an unreadable file is named there
        if (!text) {
            messages_.show(texts::kExportNeedsEveryFile, texts::kNoticeTitle, MessageKind::Info);
            return std::nullopt;
        }
        if (!text->empty()) own.push_back({*text, replies_.rows[static_cast<std::size_t>(i)].icon});
    }
    if (own.empty()) {
        messages_.show(texts::kNothingToExport, texts::kNoticeTitle, MessageKind::Info);
        return std::nullopt;
    }
    std::string bytes = team::writeRepliesCsv(own, texts::kOwnRepliesGroup);
    const team::TeamParse readBack = team::readTeamCsv(bytes);
    if (const auto* error = std::get_if<team::CsvError>(&readBack)) {
        messages_.show(texts::exportWouldNotImport(error->reason), texts::kNoticeTitle,
                       MessageKind::Info);
        return std::nullopt;
    }
    replies = std::get<team::TeamLibrary>(readBack).replyCount();
    return bytes;
}

// The file's replies go after the existing ones, each written as "添加" writes one; what does
// not fit is counted, nothing existing is touched.
void ReplyEditor::importClicked() {
    if (adding()) {
        // An untouched new reply (the editor opens so on an empty list) simply gives way.
        if (!view_.text().empty()) {
            messages_.show(texts::kImportWhileAdding, texts::kNoticeTitle, MessageKind::Info);
            view_.focusText();
            return;
        }
        cancelAddClicked();
    }
    if (store_.hiddenReplies()) reloadFromStore();
    if (refusedWhileRepliesHidden()) return;
    if (const auto path = chooser_.chooseFileToOpen()) importFrom(*path);
    view_.focusText();
}

void ReplyEditor::importFrom(const std::wstring& path) {
    const auto bytes = files_.readAll(path);
    if (!bytes) {
        messages_.show(texts::importUnreadable(path), texts::kMessageTitle, MessageKind::Error);
        return;
    }
    const team::TeamParse parsed = team::readTeamCsv(*bytes);
    if (const auto* error = std::get_if<team::CsvError>(&parsed)) {
        messages_.show(texts::importRefused(error->line, error->reason), texts::kNoticeTitle,
                       MessageKind::Info);
        return;
    }
    const int before = replyCount();
    const team::ImportPlan plan =
        team::planImport(std::get<team::TeamLibrary>(parsed), before, kReplyRows);
    bool stopped = false;
    for (const team::TeamReply& reply : plan.added)
        if ((stopped = !addImported(reply.text, reply.icon))) break;
    const int added = replyCount() - before;
    if (stopped) {
        reloadFromStore();  // the failure was told; show the files as they are
        const int left = static_cast<int>(plan.added.size()) - added + plan.notFitting;
        messages_.show(texts::importStopped(added, left), texts::kNoticeTitle, MessageKind::Info);
        return;
    }
    if (added > 0) {
        resizePanel(replyCount());
        refillList(replyCount());
        view_.enableDelete(true);
        select(before);  // the first imported reply
    }
    messages_.show(texts::importSummary(added, plan.notFitting, kReplyRows), texts::kNoticeTitle,
                   MessageKind::Info);
}

// False when a write failed (told by the store). A reply whose file was written counts even
// when its icon could not be, as with "添加".
bool ReplyEditor::addImported(const std::wstring& text, int icon) {
    const int n = replyCount();
    if (!store_.addReplyFile(n, text)) return false;
    const wchar_t code = icon >= 0 && icon <= 9 ? static_cast<wchar_t>(L'0' + icon) : L' ';
    Reply& row = replies_.rows.emplace_back();
    setReplyText(row, text);
    setReplyIcon(row, code);
    savedIconCodes_ = appendIconCode(savedIconCodes_, n, code);
    pendingIconCodes_ = replies_.iconCodes = savedIconCodes_;
    return store_.writeIconCodeFile(savedIconCodes_);
}

}  // namespace replybar
