// ReplyEditorWindow's rules: the reply editor's states and handlers. The dialog window forwards every event
// here and shows what it is told through IEditorView; every write goes through the reply store,
// and the bar's replies and panel size follow each change at once.
#pragma once

#include <optional>
#include <string>

#include "core/ports.h"
#include "panel/panel_geometry.h"
#include "core/replies.h"

namespace replybar {

class ReplyStore;

// What the editor's controls show. Setting a control from here raises none of its events.
class IEditorView {
public:
    virtual ~IEditorView() = default;
    // The list of reply numbers: "1" to `rows`, with `selection` (a row from 0) selected.
    virtual void setList(int rows, std::optional<int> selection) = 0;
    virtual void enableList(bool on) = 0;
    virtual std::wstring text() = 0;
    virtual void setText(const std::wstring& text) = 0;
    virtual void focusText() = 0;
    virtual void setPreviewIcon(int icon) = 0;     // -1 shows nothing
    virtual void showIconStrip(bool on) = 0;
    virtual void showCancelAdd(bool on) = 0;       // "取消添加" over "添加"
    virtual void enableDelete(bool on) = 0;        // "删除"
    virtual void setAutoSendChecked(bool on) = 0;
    virtual void close() = 0;
};

// The system's file dialogs, for the export and import of the replies as a CSV file.
class IFileChooser {
public:
    virtual ~IFileChooser() = default;
    // The path the user chose, or nullopt when they cancelled. `suggestedName` fills the name box.
    virtual std::optional<std::wstring> chooseFileToSave(const std::wstring& suggestedName) = 0;
    virtual std::optional<std::wstring> chooseFileToOpen() = 0;
};

// The bar as the editor sees it.
class IEditorHost {
public:
    virtual ~IEditorHost() = default;
    virtual void setPanelSize(const PanelSize& size) = 0;
    virtual void exitProgram() = 0;  // closes the bar, which saves the settings string
};

class ReplyEditor {
public:
    // `replies` are the bar's: the editor changes them after each write the store made.
    // `files` reach the export and import files the user chooses, anywhere.
    ReplyEditor(Replies& replies, ReplyStore& store, IMessages& messages, IEditorHost& host,
                IEditorView& view, IFiles& files, IFileChooser& chooser);

    // Events of the dialog, in the order the user meets them.
    // `row` is the reply the list selects first (0-based); past the replies, the last one.
    void open(int row);
    // Opened to add `text` as a new reply with classification `icon` (-1 for none): adding
    // state with the text in the box and the icon chosen, unless the table is full (the user is
    // told) or adding must wait.
    void openAdding(const std::wstring& text, int icon = 0);
    void listSelected(std::optional<int> row);  // the user picked an entry of the list
    void textChanged();            // the user changed the text box
    void pointerOverBackground();  // over the dialog, the text box or "清除图标"
    void chooseIconClicked();      // "选择图标"
    void iconClicked(int icon);    // an icon of the strip
    void clearIconClicked();       // "清除图标"
    void addClicked();             // "添加"
    void cancelAddClicked();       // "取消添加"
    void confirmClicked();         // "修改确定"
    void deleteClicked();          // "删除"
    void autoSendClicked(bool checked);
    void exportClicked();  // "导出…"
    void importClicked();  // "导入…"
    void returnClicked();  // "返回", Esc
    void exitClicked();    // "退出本程序"
    void closing();        // however the dialog closes

private:
    // Adding: the list holds one row more than the replies, the new one, and the list is
    // locked until the reply is confirmed or the adding cancelled.
    enum class Mode { Changing, Adding };

    bool adding() const { return mode_ == Mode::Adding; }
    int replyCount() const;
    int selectedNumber() const;              // k, the number the list shows; 0 for none
    std::optional<int> rowOrNone(std::optional<int> row) const;  // a row the list has, or none
    void select(std::optional<int> row);     // sets the list's selection and runs list selection
    void setText(const std::wstring& text);  // sets the text box, which counts as a change
    void refillList(int count);
    void showList();
    void preview(int icon);
    void resizePanel(int rows);
    void confirmChange(int k, const std::wstring& text);
    void confirmAdd(int k, const std::wstring& text);
    void reload();  // the replies as the files hold them, and the panel's size for them
    void reloadFromStore();
    bool refusedWhileRepliesHidden();  // tells the user why adding must wait
    std::optional<std::string> exportFile(int& replies);  // nullopt: the user was told why
    void importFrom(const std::wstring& path);
    bool addImported(const std::wstring& text, int icon);

    Replies& replies_;
    ReplyStore& store_;
    IMessages& messages_;
    IEditorHost& host_;
    IEditorView& view_;
    IFiles& files_;
    IFileChooser& chooser_;

    Mode mode_ = Mode::Changing;
    std::wstring savedIconCodes_, pendingIconCodes_;
    wchar_t newReplyIconCode_ = L'0';
    int previewIcon_ = -1;
    int listRows_ = 0;              // the list shows the numbers 1 to listRows_
    std::optional<int> selection_;  // a row of the list
    int lockedNumber_ = 0;          // the selected reply that cannot be saved over, or 0
    std::wstring lockedReason_;     // why, as the user is told
};

}  // namespace replybar
