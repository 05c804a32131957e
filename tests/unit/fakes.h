// Recording and failing stand-ins for the ports, shared by the unit tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "controls/menu_model.h"
#include "core/ports.h"
#include "fill/field_pick.h"

namespace replybar::testing {

struct ShownMessage {
    std::wstring text, title;
    MessageKind kind;
};

class FakeMessages : public IMessages {
public:
    MessageAnswer show(const std::wstring& text, const std::wstring& title,
                       MessageKind kind) override {
        shown.push_back({text, title, kind});
        return answer;
    }

    std::vector<ShownMessage> shown;
    MessageAnswer answer = MessageAnswer::Ok;  // what every box "returns"
};

enum class FileOp { Read, Write, Remove, Rename };

// Passes every call to a real IFiles, except those told to fail. A failing write first leaves
// half its bytes in the temporary file, as a disk that fills up midway would.
class FailingFiles : public IFiles {
public:
    explicit FailingFiles(IFiles& inner) : inner_(inner) {}

    // `op` on `path` (a rename's source) fails from now on with `reason`.
    void fail(FileOp op, const std::wstring& path, std::wstring reason = L"磁盘空间不足。") {
        failures_[{op, path}] = std::move(reason);
    }
    void failNothing() { failures_.clear(); }

    bool exists(const std::wstring& path) override { return inner_.exists(path); }
    bool isNormalFile(const std::wstring& path) override { return inner_.isNormalFile(path); }
    bool isFolder(const std::wstring& path) override { return inner_.isFolder(path); }

    std::optional<std::string> readAll(const std::wstring& path) override {
        if (failing(FileOp::Read, path)) return std::nullopt;
        return inner_.readAll(path);
    }

    bool writeAtomic(const std::wstring& path, const std::string& bytes,
                     std::wstring& reason) override {
        if (const std::wstring* why = failing(FileOp::Write, path)) {
            std::wstring ignored;
            inner_.writeAtomic(path + L".tmp", bytes.substr(0, bytes.size() / 2), ignored);
            reason = *why;
            return false;
        }
        return inner_.writeAtomic(path, bytes, reason);
    }

    bool writeReplace(const std::wstring& path, const std::string& bytes,
                      std::wstring& reason) override {
        if (failing(FileOp::Write, path)) return writeAtomic(path, bytes, reason);  // fails alike
        return inner_.writeReplace(path, bytes, reason);
    }

    bool writeNew(const std::wstring& path, const std::string& bytes,
                  std::wstring& reason) override {
        if (const std::wstring* why = failing(FileOp::Write, path)) return reason = *why, false;
        return inner_.writeNew(path, bytes, reason);
    }

    bool remove(const std::wstring& path, std::wstring& reason) override {
        if (const std::wstring* why = failing(FileOp::Remove, path)) return reason = *why, false;
        return inner_.remove(path, reason);
    }

    bool rename(const std::wstring& from, const std::wstring& to, std::wstring& reason) override {
        if (const std::wstring* why = failing(FileOp::Rename, from)) return reason = *why, false;
        return inner_.rename(from, to, reason);
    }

    std::vector<std::wstring> fileNamesIn(const std::wstring& folder) override {
        return inner_.fileNamesIn(folder);
    }

private:
    const std::wstring* failing(FileOp op, const std::wstring& path) const {
        const auto it = failures_.find({op, path});
        return it == failures_.end() ? nullptr : &it->second;
    }

    IFiles& inner_;
    std::map<std::pair<FileOp, std::wstring>, std::wstring> failures_;
};

// Files as a map of names to bytes, for rules that only look at names and contents.
class MemoryFiles : public IFiles {
public:
    struct File {
        std::string bytes;
        bool normal = true;  // false: hidden or a system file
        bool folder = false;
    };

    bool exists(const std::wstring& path) override { return files.count(path) != 0; }
    bool isNormalFile(const std::wstring& path) override {
        const auto it = files.find(path);
        return it != files.end() && it->second.normal && !it->second.folder;
    }
    bool isFolder(const std::wstring& path) override {
        const auto it = files.find(path);
        return it != files.end() && it->second.folder;
    }
    std::optional<std::string> readAll(const std::wstring& path) override {
        const auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return it->second.bytes;
    }
    bool writeAtomic(const std::wstring& path, const std::string& bytes,
                     std::wstring& reason) override {
        if (!refuseWrites.empty()) return reason = refuseWrites, false;
        files[path] = {bytes};
        written.push_back(path);
        return true;
    }
    bool writeReplace(const std::wstring& path, const std::string& bytes,
                      std::wstring& reason) override {
        return writeAtomic(path, bytes, reason);
    }
    bool writeNew(const std::wstring& path, const std::string& bytes,
                  std::wstring& reason) override {
        if (!refuseWrites.empty()) return reason = refuseWrites, false;
        // Another program puts its own file there while this one is being written.
        if (const auto it = appearWhileWriting.find(path); it != appearWhileWriting.end())
            files[path] = it->second;
        if (files.count(path)) return reason = L"当文件已存在时，无法创建该文件。", false;
        files[path] = {bytes};
        written.push_back(path);
        return true;
    }
    bool remove(const std::wstring& path, std::wstring& reason) override {
        return files.erase(path) != 0 || (reason = L"系统找不到指定的文件。", false);
    }
    bool rename(const std::wstring& from, const std::wstring& to, std::wstring& reason) override {
        if (!files.count(from) || files.count(to)) return reason = L"无法重命名。", false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    std::vector<std::wstring> fileNamesIn(const std::wstring& folder) override {
        std::vector<std::wstring> names;
        for (const auto& [path, file] : files) {
            const std::wstring name = path.substr(std::min(folder.size(), path.size()));
            if (path.rfind(folder, 0) == 0 && !file.folder && !name.empty() &&
                name.find_first_of(L"\\/") == std::wstring::npos)
                names.push_back(name);
        }
        return names;
    }

    std::map<std::wstring, File> files;
    std::vector<std::wstring> written;
    std::wstring refuseWrites;  // when set, every write fails with this reason
    std::map<std::wstring, File> appearWhileWriting;
};

// A clock the test moves by hand.
class FakeClock : public IClock {
public:
    int weekday() override { return day; }
    std::uint64_t milliseconds() override { return now; }
    LocalTime localTime() override { return local; }
    int day = 2;
    std::uint64_t now = 1000;
    LocalTime local{2026, 12, 9, 14, 5};
};

// Timers that remember when each was armed, so a test can fire what is due.
class FakeTimers : public ITimers {
public:
    explicit FakeTimers(const FakeClock* clock = nullptr) : clock_(clock) {}
    void enable(TimerId id, unsigned ms) override {
        on[id] = ms;
        armedAt[id] = clock_ ? clock_->now : 0;
    }
    void disable(TimerId id) override { on.erase(id); }
    bool due(TimerId id) const {
        const auto it = on.find(id);
        return it != on.end() && clock_ && clock_->now >= armedAt.at(id) + it->second;
    }
    std::map<TimerId, unsigned> on;
    std::map<TimerId, std::uint64_t> armedAt;

private:
    const FakeClock* clock_;
};

// The clipboard as one other program can get in the way of it: holding it open (`busy`), or
// writing over the reply (`overwrite`), or reading it with it open (`readBy`: not ours, not
// the target's).
class FakeClipboard : public IClipboard {
public:
    bool setText(const std::wstring& t) override {
        if (busy) return false;
        texts.push_back(t);
        ours = true;
        return true;
    }
    bool holdsOurText() override { return ours; }
    std::wstring holderName() override { return busy || open ? holder : L""; }
    Access access(std::uintptr_t, bool) override {
        return busy || open ? Access::ByOther : Access::Free;
    }
    void overwrite() { ours = false; }
    // Another program copied `text` (none: something that is not text).
    void copy(std::optional<std::wstring> text) {
        held = std::move(text);
        ours = false;
    }
    std::optional<std::wstring> readText() override {
        if (busy) return std::nullopt;
        return ours && !texts.empty() ? std::optional(texts.back()) : held;
    }
    std::optional<std::wstring> held;  // what another program put there

    std::vector<std::wstring> texts;  // every successful write
    bool busy = false;  // open by another program, which also keeps us from writing
    bool open = false;  // open by another program that only reads
    bool ours = false;
    std::wstring holder;
};

// Keystrokes as sent ("^v", "^{Enter}", "{Enter}", with "|wait" when the sender waited for
// the target), each with the moment it went out when a clock is given.
class FakeKeys : public IKeys {
public:
    explicit FakeKeys(const FakeClock* clock = nullptr) : clock_(clock) {}
    bool send(keys::Chord chord, bool wait) override {
        const wchar_t* name = chord == keys::Chord::Paste       ? L"^v"
                              : chord == keys::Chord::CtrlEnter ? L"^{Enter}"
                                                                : L"{Enter}";
        sent.push_back(name + std::wstring(wait ? L"|wait" : L""));
        at.push_back(clock_ ? clock_->now : 0);
        if (onSend) onSend(sent.back());
        return accept;
    }
    bool tap(std::uint16_t vk) override {
        tapped.push_back(vk);
        return true;
    }
    bool isDown(std::uint16_t vk) override { return down.count(vk) != 0; }
    std::vector<std::uint16_t> tapped;  // keys passed on to the window in front
    std::set<std::uint16_t> down;       // keys the user holds
    std::function<void(const std::wstring&)> onSend;  // what happens as a key goes out
    std::vector<std::wstring> sent;
    std::vector<std::uint64_t> at;
    bool accept = true;

private:
    const FakeClock* clock_;
};

class FakeTarget : public ITargetWindow {
public:
    TargetIntegrity foregroundIntegrity() override { return integrity; }
    std::uintptr_t foreground() override { return window; }
    std::wstring foregroundClass() override { return windowClass; }
    TargetIntegrity integrity = TargetIntegrity::SameOrLower;
    std::uintptr_t window = 0x1234;
    std::wstring windowClass = L"ChatWindow";
};

class RecordingShell : public IShell {
public:
    void open(const std::wstring& target) override { opened.push_back(target); }
    std::vector<std::wstring> opened;
};

// A menu picture with a given handle (0: a picture without an image).
struct FakePicture : menu::MenuPicture {
    explicit FakePicture(std::uintptr_t h) : h(h) {}
    std::uintptr_t handle() const override { return h; }
    std::uintptr_t h;
};

// System colours, each distinct: `base` plus the index. A test moves `base` to change them all.
struct FakeSystemColors : menu::ISystemColors {
    static constexpr menu::Colorref standard(int index) { return 0x00100000u + index; }
    std::uint32_t color(int index) const override { return base + index; }
    std::uint32_t base = standard(0);
};

// System-wide hot keys as registered now, by id; combinations in `taken` belong to another
// program. Every call is logged, so a test can see what was given back.
class FakeHotkeys : public IHotkeys {
public:
    struct Combination {
        unsigned modifiers, virtualKey;
        bool operator<(const Combination& o) const {
            return std::pair(modifiers & ~0x4000u, virtualKey) <
                   std::pair(o.modifiers & ~0x4000u, o.virtualKey);  // MOD_NOREPEAT aside
        }
    };
    bool registerKey(int id, unsigned modifiers, unsigned vk) override {
        ++registrations;
        if (taken.count({modifiers, vk}) || registered.count(id)) return false;
        registered[id] = {modifiers, vk};
        return true;
    }
    bool unregisterKey(int id) override {
        unregistered.push_back(id);
        return registered.erase(id) != 0;
    }
    std::map<int, Combination> registered;
    std::set<Combination> taken;
    std::vector<int> unregistered;
    int registrations = 0;
};

// The settings string as the registry holds it.
struct FakeSettingsString : ISettingsStore {
    std::wstring read() override { return text; }
    bool write(const std::wstring& t, std::wstring& reason) override {
        if (!refuse.empty()) return reason = refuse, false;
        text = t;
        return true;
    }
    std::wstring text, refuse;  // when `refuse` is set, every write fails with it
};

// Numbers by value name, as the registry key holds them.
class FakeSettingNumbers : public ISettingNumbers {
public:
    std::optional<std::uint32_t> readNumber(const std::wstring& name) override {
        const auto it = values.find(name);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    bool writeNumber(const std::wstring& name, std::uint32_t value, std::wstring& reason) override {
        if (!refuse.empty()) return reason = refuse, false;
        values[name] = value;
        return true;
    }
    std::map<std::wstring, std::uint32_t> values;
    std::wstring refuse;  // when set, every write fails with this reason
};

// Texts by value name, as the registry key holds them.
struct FakeSettingTexts : ISettingTexts {
    std::optional<std::wstring> readText(const std::wstring& n) override {
        return values.count(n) ? std::optional(values[n]) : std::nullopt;
    }
    bool writeText(const std::wstring& n, const std::wstring& t, std::wstring& reason) override {
        return refuse.empty() ? (values[n] = t, true) : (reason = refuse, false);
    }
    std::map<std::wstring, std::wstring> values;
    std::wstring refuse;  // when set, every write fails with this reason
};

// The logon entry: absent or one command line.
class FakeRunAtLogon : public IRunAtLogon {
public:
    std::optional<std::wstring> read() override { return command; }
    bool write(const std::wstring& c, std::wstring& reason) override {
        if (!refuse.empty()) return reason = refuse, false;
        command = c;
        return true;
    }
    bool remove(std::wstring& reason) override {
        if (!refuse.empty()) return reason = refuse, false;
        command.reset();
        return true;
    }
    std::optional<std::string> startupApproval() override { return approval; }
    std::optional<std::wstring> command;
    std::optional<std::string> approval;
    std::wstring refuse;
};

// The box for a reply's blanks: answers as the user would type them, or Esc (none); what it
// was asked is kept, with what `onAsk` sees at that moment.
struct FakeBox : fill::IBlankBox {
    std::optional<std::vector<std::wstring>> ask(const fill::BlankQuestion& q) override {
        asked.push_back(q);
        if (onAsk) onAsk();
        return answers;
    }
    std::optional<std::vector<std::wstring>> answers;
    std::vector<fill::BlankQuestion> asked;
    std::function<void()> onAsk;
};

}  // namespace replybar::testing
