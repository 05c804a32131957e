// The reply store and the settings value through the real Win32 file, code-page and registry
// calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "reply/reply_store.h"
#include "core/codec.h"
#include "core/files.h"
#include "win/registry_win32.h"

namespace replybar {
namespace {

struct RecordingMessages : IMessages {
    MessageAnswer show(const std::wstring& text, const std::wstring&, MessageKind) override {
        shown.push_back(text);
        return MessageAnswer::Ok;
    }
    std::vector<std::wstring> shown;
};

class StoreFolder : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t tmp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, tmp);
        ::CreateDirectoryW(tmp, nullptr);  // a new prefix may not have it yet
        dir = std::wstring(tmp) + L"回复测试" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
        ::CreateDirectoryW(dir.c_str(), nullptr);
    }
    void TearDown() override {
        WIN32_FIND_DATAW fd;
        HANDLE h = ::FindFirstFileW((dir + L"*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do ::DeleteFileW((dir + fd.cFileName).c_str());
            while (::FindNextFileW(h, &fd));
            ::FindClose(h);
        }
        ::RemoveDirectoryW(dir.c_str());
    }
    void put(const std::wstring& name, const std::string& bytes) {
        std::ofstream(std::filesystem::path(dir + name), std::ios::binary) << bytes;
    }
    // The files in the folder, sorted.
    std::vector<std::wstring> names() {
        std::vector<std::wstring> found;
        WIN32_FIND_DATAW fd;
        HANDLE h = ::FindFirstFileW((dir + L"*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return found;
        do
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) found.push_back(fd.cFileName);
        while (::FindNextFileW(h, &fd));
        ::FindClose(h);
        std::sort(found.begin(), found.end());
        return found;
    }
    std::string get(const std::wstring& name) {
        std::ifstream f(std::filesystem::path(dir + name), std::ios::binary);
        return {std::istreambuf_iterator<char>(f), {}};
    }

    std::wstring dir;
    std::unique_ptr<IFiles> files = makeSystemFiles();
    RecordingMessages messages;
};

TEST_F(StoreFolder, LoadsGbkFilesAsTheyHaveAlwaysBeenWritten) {
    put(L"0.txt", "\xC4\xE3\xBA\xC3\r\n");               // 你好
    put(L"1.txt", "a\r\n\xB5\xDA\xB6\xFE\xD0\xD0\r\n");  // a / 第二行
    put(L"3.txt", "after the gap\r\n");
    put(L"bmpk.txt", "3 \r\n0\r\n");
    put(L"n.txt", "\xB2\xBB\xD2\xAA\r\n");
    ReplyStore store(*files, messages, dir);
    const Replies replies = store.loadReplies({});
    const PanelSize size = panelSizeFor(replies.count());
    EXPECT_EQ(replies.count(), 3);  // the gap is closed: 3.txt is 2.txt now
    EXPECT_EQ(get(L"2.txt"), "after the gap\r\n");
    EXPECT_EQ(replies.rows[0].fullText, L"你好");
    EXPECT_EQ(replies.rows[1].fullText, L"a\r\n第二行");
    EXPECT_EQ(replies.rows[1].displayText, L"a 第二行\u3000");
    EXPECT_EQ(replies.iconCodes, L"3 0");
    EXPECT_EQ(replies.rows[0].icon, 3);
    EXPECT_EQ(replies.rows[1].icon, -1);
    EXPECT_FALSE(replies.autoSend);
    EXPECT_EQ(size.height, panelSizeFor(3).height);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StoreFolder, EmojiReplyIsWrittenSoItReadsBackIntact) {
    ReplyStore store(*files, messages, dir);
    const std::wstring reply = L"收到\U0001F44D\r\n第二行";
    ASSERT_TRUE(store.writeReplyFile(0, reply));
    ASSERT_TRUE(store.writeReplyFile(1, L"普通中文"));
    EXPECT_EQ(get(L"0.txt").substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(get(L"1.txt"), "\xC6\xD5\xCD\xA8\xD6\xD0\xCE\xC4\r\n");  // plain GBK
    EXPECT_EQ(store.readReplyForEditing(0), reply);
    Replies replies = store.loadReplies({});
    EXPECT_EQ(replies.rows[0].fullText, reply);
    EXPECT_EQ(codec::gbkByteLength(L"中文ab"), 6u);
}

TEST_F(StoreFolder, ReplacingKeepsTheOldFileWhenTheTargetCannotBeWritten) {
    ReplyStore store(*files, messages, dir);
    ASSERT_TRUE(store.writeReplyFile(0, L"old"));
    // Another program holds the file open without sharing: the move over it must fail.
    HANDLE lock = ::CreateFileW((dir + L"0.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(store.writeReplyFile(0, L"new"));
    ::CloseHandle(lock);
    EXPECT_EQ(get(L"0.txt"), "old\r\n");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find(dir + L"0.txt"), std::wstring::npos);
}

TEST_F(StoreFolder, RemovingRenumbersAndNeverOverwrites) {
    ReplyStore store(*files, messages, dir);
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(store.writeReplyFile(i, L"r" + std::to_wstring(i)));
    ASSERT_TRUE(store.removeReply(1, 3));
    EXPECT_EQ(get(L"0.txt"), "r0\r\n");
    EXPECT_EQ(get(L"1.txt"), "r2\r\n");
    EXPECT_EQ(get(L"2.txt"), "r3\r\n");
    EXPECT_EQ(::GetFileAttributesW((dir + L"3.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    std::wstring reason;
    EXPECT_FALSE(files->rename(dir + L"1.txt", dir + L"2.txt", reason));
    EXPECT_EQ(get(L"2.txt"), "r3\r\n");
}

// A later reply file held open without sharing stops a delete's renumbering halfway: the
// replies after it are not shown until it is free, none is lost, and none is written over.
TEST_F(StoreFolder, AFileHeldOpenStopsTheRenumberingUntilItIsFree) {
    ReplyStore store(*files, messages, dir);
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(store.writeReplyFile(i, L"r" + std::to_wstring(i)));
    HANDLE lock = ::CreateFileW((dir + L"3.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(store.removeReply(1, 4, L"0234"));
    Replies replies = store.loadReplies({});
    EXPECT_EQ(replies.count(), 2);
    EXPECT_TRUE(store.hiddenReplies());
    EXPECT_FALSE(store.addReplyFile(3, L"would overwrite r3"));
    ::CloseHandle(lock);
    EXPECT_EQ(get(L"3.txt"), "r3\r\n");

    replies = store.loadReplies(replies);
    EXPECT_EQ(replies.count(), 4);
    EXPECT_FALSE(store.hiddenReplies());
    const char* expected[] = {"r0\r\n", "r2\r\n", "r3\r\n", "r4\r\n"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(get(std::to_wstring(i) + L".txt"), expected[i]);
    EXPECT_EQ(get(L"bmpk.txt"), "0234\r\n");
    EXPECT_EQ(::GetFileAttributesW((dir + L"4.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

// Another program (a virus scanner, an indexer) holds the file without sharing for half a second
// while it is saved: the save waits it out and says nothing.
TEST_F(StoreFolder, AFileHeldForAMomentIsSavedWithoutAMessage) {
    ReplyStore store(*files, messages, dir);
    ASSERT_TRUE(store.writeReplyFile(0, L"old"));
    HANDLE held = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        HANDLE f = ::CreateFileW((dir + L"0.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                 0, nullptr);
        ::SetEvent(held);
        ::Sleep(500);
        if (f != INVALID_HANDLE_VALUE) ::CloseHandle(f);
    });
    ::WaitForSingleObject(held, INFINITE);
    EXPECT_TRUE(store.writeReplyFile(0, L"new"));
    holder.join();
    ::CloseHandle(held);
    EXPECT_EQ(get(L"0.txt"), "new\r\n");
    EXPECT_TRUE(messages.shown.empty());
}

// A deleted reply that an indexer still has open (sharing delete, as indexers do) frees its
// name at once, so the next reply moves onto it; a reply that cannot be deleted stays.
TEST_F(StoreFolder, ADeletedFileStillOpenElsewhereFreesItsNameAtOnce) {
    ReplyStore store(*files, messages, dir);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(store.writeReplyFile(i, L"r" + std::to_wstring(i)));
    HANDLE indexer = ::CreateFileW((dir + L"1.txt").c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(indexer, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(store.removeReply(1, 2, L"02"));
    EXPECT_EQ(get(L"1.txt"), "r2\r\n");
    EXPECT_EQ(::GetFileAttributesW((dir + L"2.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    ::CloseHandle(indexer);
    EXPECT_TRUE(messages.shown.empty());

    ::SetFileAttributesW((dir + L"1.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    std::wstring reason;
    EXPECT_FALSE(files->remove(dir + L"1.txt", reason));
    ::SetFileAttributesW((dir + L"1.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(get(L"1.txt"), "r2\r\n");
    EXPECT_EQ(names(), (std::vector<std::wstring>{L"0.txt", L"1.txt", L"bmpk.txt"}));
}

// The Show Desktop command file is made through a temporary file of a name no user has, and put
// in place only while its own name is free.
TEST_F(StoreFolder, ANewFileNeverTakesAUsersNameNorReplacesOne) {
    put(L"显示桌面.scf.tmp", "mine");
    std::wstring reason;
    ASSERT_TRUE(files->writeNew(dir + L"显示桌面.scf", "command", reason)) << reason.size();
    EXPECT_FALSE(files->writeNew(dir + L"显示桌面.scf", "again", reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(get(L"显示桌面.scf"), "command");
    EXPECT_EQ(get(L"显示桌面.scf.tmp"), "mine");
    EXPECT_EQ(names(), (std::vector<std::wstring>{L"显示桌面.scf", L"显示桌面.scf.tmp"}));
}

TEST(SettingsValue, StoredWithoutNulReadUpToTheFirstNulOtherTypesIgnored) {
    const wchar_t* key = L"Software\\DAZ\\Registry";
    win::RegistrySettingsStore store;
    std::wstring reason;
    ASSERT_TRUE(store.write(L"2385,11565,C:\\快速启动\\,about:blank", reason));
    EXPECT_EQ(store.read(), L"2385,11565,C:\\快速启动\\,about:blank");

    HKEY k = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                                nullptr),
              ERROR_SUCCESS);
    const wchar_t withNul[] = L"1,2,C:\\,h\0tail";
    ::RegSetValueExW(k, L"String3", 0, REG_SZ, reinterpret_cast<const BYTE*>(withNul),
                     sizeof withNul - sizeof(wchar_t));
    EXPECT_EQ(store.read(), L"1,2,C:\\,h");
    const DWORD number = 42;
    ::RegSetValueExW(k, L"String3", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                     sizeof number);
    EXPECT_EQ(store.read(), L"");
    ::RegDeleteValueW(k, L"String3");
    EXPECT_EQ(store.read(), L"");
    ::RegCloseKey(k);
}

}  // namespace
}  // namespace replybar
