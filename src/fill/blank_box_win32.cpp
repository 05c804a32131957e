#include "fill/blank_box_win32.h"

#include "core/geometry.h"
#include "win/interface_win32.h"
#include "win/modal_win32.h"
#include "win/window_class.h"

namespace replybar::fill {
namespace {

constexpr wchar_t kClassName[] = L"ReplyBar.Blanks";
constexpr wchar_t kCaption[] = L"填写回复";
constexpr int kFirstField = 1100, kReplyLabel = 1001;

// Twips: the reply's two lines, then a row per blank, then the buttons, as the settings dialog
// spaces its rows.
constexpr int kWidth = 6000, kMargin = 180, kLabelWidth = 1500, kRowHeight = 345, kRowGap = 105;
constexpr int kReplyTop = 150, kReplyHeight = 480, kFirstRowTop = kReplyTop + kReplyHeight + 135;
constexpr int kButtonWidth = 1110;

RECT pixels(int left, int top, int width, int height) {
    const PxRect r = toPixels({left, top, width, height});
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

std::optional<std::vector<std::wstring>> BlankBox::ask(const BlankQuestion& question) {
    win::registerWindowClass<BlankBoxWindow>(kClassName, 0, nullptr,
                                             ::GetSysColorBrush(COLOR_BTNFACE));
    const int rows = static_cast<int>(question.prompts.size());
    const int buttonsTop = kFirstRowTop + rows * (kRowHeight + kRowGap) + 30;
    BlankBoxWindow box;
    win::createDialogWindow(kClassName, kCaption, twipsToPixels(kWidth),
                            twipsToPixels(buttonsTop + kRowHeight + kMargin), 0, owner_, &box);
    if (!box.hwnd_) return std::nullopt;
    box.createControls(question);
    std::vector<std::wstring> answers;
    const HWND chat = reinterpret_cast<HWND>(question.chat);
    ++showing_;
    win::runModal(box.hwnd_, owner_, chat, box.done_,
                  {{},
                   [&] {
                       // The first blank, its last answer selected: typing replaces it, Enter
                       // takes it again.
                       if (box.fields_.empty()) return;
                       ::SetFocus(box.fields_.front());
                       ::SendMessageW(box.fields_.front(), EM_SETSEL, 0, -1);
                   },
                   [&] {
                       if (!box.confirmed_) return;
                       for (HWND field : box.fields_) answers.push_back(win::windowText(field));
                   }});
    --showing_;
    if (!box.confirmed_) return std::nullopt;
    return answers;
}

void BlankBoxWindow::createControls(const BlankQuestion& question) {
    font_ = win::makeInterfaceFont();
    const int fieldLeft = kMargin + kLabelWidth + 90;
    // The reply as written, on two lines at most; a longer one ends in an ellipsis.
    control(L"STATIC", question.reply.c_str(),
            SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL | SS_ENDELLIPSIS,
            pixels(kMargin, kReplyTop, kWidth - 2 * kMargin, kReplyHeight), kReplyLabel);
    for (std::size_t i = 0; i < question.prompts.size(); ++i) {
        const int top = kFirstRowTop + static_cast<int>(i) * (kRowHeight + kRowGap);
        const std::wstring label =
            (question.prompts[i].empty() ? L"填写" : question.prompts[i]) + L"：";
        control(L"STATIC", label.c_str(), SS_RIGHT | SS_NOPREFIX | SS_CENTERIMAGE | SS_ENDELLIPSIS,
                pixels(kMargin, top, kLabelWidth, kRowHeight), -1);
        fields_.push_back(control(L"EDIT", question.offered[i].c_str(), WS_TABSTOP | ES_AUTOHSCROLL,
                                  pixels(fieldLeft, top, kWidth - kMargin - fieldLeft, kRowHeight),
                                  kFirstField + static_cast<int>(i), WS_EX_CLIENTEDGE));
    }
    const int buttonsTop =
        kFirstRowTop + static_cast<int>(fields_.size()) * (kRowHeight + kRowGap) + 30;
    const int right = kWidth - kMargin;
    control(L"BUTTON", L"粘贴", WS_TABSTOP | BS_DEFPUSHBUTTON,
            pixels(right - 2 * kButtonWidth - 120, buttonsTop, kButtonWidth, kRowHeight), IDOK);
    control(L"BUTTON", L"取消", WS_TABSTOP | BS_PUSHBUTTON,
            pixels(right - kButtonWidth, buttonsTop, kButtonWidth, kRowHeight), IDCANCEL);
}

HWND BlankBoxWindow::control(const wchar_t* cls, const wchar_t* text, DWORD style, const RECT& r,
                             int id, DWORD exStyle) {
    return win::makeChildControl(hwnd_, font_.get(), cls, text, style, r, id, exStyle);
}

LRESULT BlankBoxWindow::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            if (HIWORD(wp) == BN_CLICKED && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
                confirmed_ = LOWORD(wp) == IDOK;
                done_ = true;
                return 0;
            }
            break;
        case WM_CLOSE: done_ = true; return 0;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace replybar::fill
