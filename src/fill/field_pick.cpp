#include "fill/field_pick.h"

#include "fill/fill_texts.h"

namespace replybar::fill {

std::optional<std::wstring> FieldPick::userClip() {
    if (!ports_.clipboard.holdsOurText()) userClip_ = ports_.clipboard.readText();
    return userClip_;
}

FillContext FieldPick::contextNow() {
    FillContext context;
    context.now = ports_.clock.localTime();
    context.agent = ports_.agentName();
    return context;
}

std::wstring FieldPick::press(const std::wstring& reply) {
    pressed_.reset();
    if (!hasFields(reply)) {
        // The bar's write goes over a clip it never read: {剪贴板} no longer knows the user's.
        if (!ports_.clipboard.holdsOurText()) userClip_.reset();
        return reply;
    }
    const std::vector<Piece> pieces = readFields(reply);
    FillContext context = contextNow();
    if (readsClipboard(pieces)) context.clipboard = userClip();
    pressed_.emplace(reply, context);
    if (!blanksOf(pieces).empty()) return {};
    const Filled filled = fill(pieces, context);
    return filled.problem == FillProblem::None ? filled.text : std::wstring();
}

bool FieldPick::needsUser(const std::wstring& reply) const {
    if (!hasFields(reply)) return false;
    const std::vector<Piece> pieces = readFields(reply);
    if (!blanksOf(pieces).empty()) return true;
    return pressed_ && pressed_->first == reply &&
           fill(pieces, pressed_->second).problem != FillProblem::None;
}

// Tells the user what keeps the reply from being filled; false then. Asked before the blanks:
// no answers are typed for a reply that cannot go out.
bool FieldPick::fillable(const std::vector<Piece>& pieces, const FillContext& context) {
    FillContext check = context;
    check.answers = blanksOf(pieces);
    switch (fill(pieces, check).problem) {
        case FillProblem::NoClipboardText:
            ports_.messages.show(texts::kNoClipboardText, texts::kMessageTitle, MessageKind::Info);
            return false;
        case FillProblem::NoAgentName:
            if (ports_.messages.show(texts::kNoAgentName, texts::kMessageTitle,
                                     MessageKind::Question) == MessageAnswer::Yes)
                ports_.setAgentName();
            return false;
        default: return true;
    }
}

std::optional<std::wstring> FieldPick::release(const std::wstring& reply, std::uintptr_t chat) {
    if (!hasFields(reply)) return reply;
    const std::vector<Piece> pieces = readFields(reply);
    FillContext context;
    if (pressed_ && pressed_->first == reply) {
        context = pressed_->second;
    } else {  // no press of its own came first
        context = contextNow();
        if (readsClipboard(pieces)) context.clipboard = userClip();
    }
    pressed_.reset();
    if (!fillable(pieces, context)) return std::nullopt;
    const std::vector<std::wstring> prompts = blanksOf(pieces);
    if (!prompts.empty()) {
        BlankQuestion question{reply, prompts, lastAnswers_[reply], chat};
        question.offered.resize(prompts.size());
        std::optional<std::vector<std::wstring>> answers = ports_.box.ask(question);
        if (!answers || answers->size() < prompts.size()) return std::nullopt;
        lastAnswers_[reply] = *answers;
        context.answers = std::move(*answers);
    }
    return fill(pieces, context).text;
}

std::wstring FieldPick::preview(const std::wstring& reply) {
    if (!hasFields(reply)) return reply;
    const std::vector<Piece> pieces = readFields(reply);
    FillContext context = contextNow();
    if (readsClipboard(pieces)) context.clipboard = userClip();
    return fill::preview(pieces, context);
}

}  // namespace replybar::fill
