// The box that asks for a reply's blanks ({填写:提示}) at the pick: the reply as written on top,
// a labelled field per blank, "粘贴" and "取消". It is the one window of the bar that takes the
// keyboard during a pick: Enter pastes, Esc sends nothing, and either way the foreground goes
// back to the chat before the box is gone, so the paste lands where the user was typing.
#pragma once

#include <windows.h>

#include <vector>

#include "fill/field_pick.h"
#include "win/handles.h"

namespace replybar::fill {

class BlankBox : public IBlankBox {
public:
    explicit BlankBox(HWND owner) : owner_(owner) {}
    std::optional<std::vector<std::wstring>> ask(const BlankQuestion& question) override;
    // A box is open: the bar's hotkey opens no panel meanwhile.
    static bool anyShowing() { return showing_ > 0; }

private:
    HWND owner_;
    static inline int showing_ = 0;
};

// The window itself, while it is open.
class BlankBoxWindow {
public:
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;

private:
    friend class BlankBox;
    void createControls(const BlankQuestion& question);
    HWND control(const wchar_t* cls, const wchar_t* text, DWORD style, const RECT& r, int id,
                 DWORD exStyle = 0);

    win::UniqueFont font_;
    std::vector<HWND> fields_;
    bool done_ = false;
    bool confirmed_ = false;
};

}  // namespace replybar::fill
