// The reply editor dialog, "快捷回复设置". Modal over the bar; its rules live in
// ReplyEditor, this window only shows them and forwards the user's actions.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "core/keystrokes.h"
#include "reply/reply_editor.h"
#include "reply/reply_store.h"
#include "win/handles.h"
#include "win/messages_win32.h"

namespace replybar {

// The ten classification icons in a raised box under the editor's icon buttons.
struct IconStrip {
    std::array<HICON, 10> icons{};
    std::function<void(int icon)> clicked;
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
};

class ReplyEditorWindow : private IEditorView, private IEditorHost, private IFileChooser {
public:
    enum class Result { Closed, ExitProgram };

    struct Context {
        HWND owner;  // the bar, disabled while the dialog is open
        const std::wstring& dataDir;  // where the reply files are
        Replies& replies;             // the bar's, changed after each write
        IFiles& files;
        IEditorHost& bar;                    // panel size follows every change
        const std::array<HICON, 10>& icons;  // the ten classification icons
        HWND userWindow;  // where the user was typing: it gets the foreground back at the end
        keys::SendKey sendKey;  // named in the auto-send box's caption
        int firstRow;           // the reply the list selects on opening
        // When given, the editor opens in adding state with this text in the box.
        std::optional<std::wstring> newReplyText = std::nullopt;
        int newReplyIcon = 0;  // its classification icon, -1 for none
        std::wstring agentName = L"";  // what {客服} pastes, shown by "插入字段"
    };
    static Result showModal(const Context& context);

    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT handleChildMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, WNDPROC original);
    HWND hwnd_ = nullptr;

private:
    explicit ReplyEditorWindow(const Context& context);
    void createControls();
    void onCommand(int id, int code, HWND control);
    void insertField();

    // IEditorView
    void setList(int rows, std::optional<int> selection) override;
    void enableList(bool on) override;
    std::wstring text() override;
    void setText(const std::wstring& text) override;
    void focusText() override;
    void setPreviewIcon(int icon) override;
    void showIconStrip(bool on) override;
    void showCancelAdd(bool on) override;
    void enableDelete(bool on) override;
    void setAutoSendChecked(bool on) override;
    void close() override;
    // IEditorHost
    void setPanelSize(const PanelSize& size) override;
    void exitProgram() override;
    // IFileChooser
    std::optional<std::wstring> chooseFileToSave(const std::wstring& suggestedName) override;
    std::optional<std::wstring> chooseFileToOpen() override;

    Context context_;
    win::MessageBoxes messages_;
    ReplyStore store_;
    ReplyEditor editor_;
    win::UniqueFont font_;
    HWND hint_ = nullptr, chooseIcon_ = nullptr, clearIcon_ = nullptr, preview_ = nullptr;
    HWND list_ = nullptr, text_ = nullptr, add_ = nullptr, cancelAdd_ = nullptr;
    HWND delete_ = nullptr, export_ = nullptr, import_ = nullptr, exit_ = nullptr;
    HWND autoSend_ = nullptr, confirm_ = nullptr;
    HWND return_ = nullptr, strip_ = nullptr;
    HWND insertField_ = nullptr;  // "插入字段…"
    IconStrip iconStrip_;
    bool onScreen_ = false, settingText_ = false, done_ = false, exitRequested_ = false;
};

}  // namespace replybar
