// A pick of a reply with fields: what fills them is read when the pick starts (the clipboard
// before the bar writes its own text to it, the time, the agent's name), a blank is asked in a
// small box, and what goes out is the filled text or nothing at all. The reply as written is
// what the panel shows, the search matches and the pick history keeps: the filled text, with its
// order numbers and customer details, only goes to the chat.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/ports.h"
#include "fill/fill_fields.h"

namespace replybar::fill {

// What the box for a reply's blanks asks.
struct BlankQuestion {
    std::wstring reply;                 // as written, shown above the answers
    std::vector<std::wstring> prompts;  // one answer each, in this order
    std::vector<std::wstring> offered;  // the same reply's last answers, one per prompt
    std::uintptr_t chat = 0;            // the window the answers go to
};

class IBlankBox {
public:
    virtual ~IBlankBox() = default;
    // One answer per prompt; none when the user pressed Esc or closed the box. The box takes
    // the keyboard while it is open and gives the foreground back to `chat` as it closes.
    virtual std::optional<std::vector<std::wstring>> ask(const BlankQuestion& question) = 0;
};

class FieldPick {
public:
    struct Ports {
        IClipboard& clipboard;
        IClock& clock;
        IMessages& messages;
        IBlankBox& box;
        std::function<std::wstring()> agentName;  // "" when not set
        std::function<void()> setAgentName;       // the settings, at the name's field
    };
    explicit FieldPick(Ports ports) : ports_(std::move(ports)) {}

    // The press on a reply: the text to put on the clipboard now. The reply itself when it has
    // no fields, the filled text when nothing is to be asked; "" when the release has to ask or
    // to say why nothing goes out.
    std::wstring press(const std::wstring& reply);
    // The release of the reply just pressed will ask the user something: its blanks, or what
    // to do about a field it cannot fill (whatever holds the keys lets them go first).
    bool needsUser(const std::wstring& reply) const;
    // The release: the text to paste into `chat`, or none when nothing goes out (the user heard
    // why, or pressed Esc in the box).
    std::optional<std::wstring> release(const std::wstring& reply, std::uintptr_t chat);
    // How the reply would paste now, for its tooltip; the reply itself without fields.
    std::wstring preview(const std::wstring& reply);

private:
    FillContext contextNow();
    std::optional<std::wstring> userClip();
    bool fillable(const std::vector<Piece>& pieces, const FillContext& context);

    Ports ports_;
    // The clip the user made last, read before the bar wrote over it: once a pick put a reply
    // on the clipboard, {剪贴板} still means what the user copied, not the bar's own reply.
    std::optional<std::wstring> userClip_;
    std::optional<std::pair<std::wstring, FillContext>> pressed_;    // the reply and its context
    std::map<std::wstring, std::vector<std::wstring>> lastAnswers_;  // in memory only
};

}  // namespace replybar::fill
