#include "controls/folder_browser.h"

#include <gtest/gtest.h>

namespace replybar::controls {
namespace {

TEST(FolderBrowser, LayoutPutsTheButtonRightAndTheTextBeforeIt) {
    const struct {
        int w, h, button, tx, ty;
        FolderBrowserLayout expected;
    } cases[] = {
        {2535, 345, 600, 15, 15, {{1935, 0, 600, 352}, {15, 15, 1890, 345}, 1920}},
        {6555, 345, 600, 15, 15, {{5955, 0, 600, 352}, {15, 15, 5910, 345}, 5940}},
        {2535, 300, 600, 12, 10, {{1935, 0, 600, 307}, {12, 10, 1899, 300}, 1923}},
    };
    for (const auto& c : cases) {
        const auto l = layoutFolderBrowser(c.w, c.h, c.button, c.tx, c.ty);
        EXPECT_EQ(l.browse, c.expected.browse) << c.w;
        EXPECT_EQ(l.text, c.expected.text) << c.w;
        EXPECT_EQ(l.lineX, c.expected.lineX) << c.w;
    }
}

TEST(FolderBrowser, AChosenFolderEndsWithOneBackslashAndOnlyAltDownBrowses) {
    EXPECT_EQ(folderTextFromBrowse(L"C:\\Tools"), L"C:\\Tools\\");
    EXPECT_EQ(folderTextFromBrowse(L"D:\\"), L"D:\\");
    EXPECT_EQ(folderTextFromBrowse(L"\\\\server\\share"), L"\\\\server\\share\\");
    EXPECT_EQ(folderTextFromBrowse(L""), std::nullopt);  // cancelled: nothing changes

    EXPECT_TRUE(isBrowseKey(40, kAltMask));
    for (int shift : {0, kShiftMask, kCtrlMask, kAltMask | kShiftMask, kAltMask | kCtrlMask})
        EXPECT_FALSE(isBrowseKey(40, shift)) << shift;
    EXPECT_FALSE(isBrowseKey(38, kAltMask));  // Alt+Up
}

// A property at its default is not saved; any other value is saved under the property's name and
// read back.
TEST(FolderBrowser, PropertiesSavedByNameOnlyWhenNotDefault) {
    const FontDesc ambient{L"宋体", 9, false, false};
    const FolderBrowserProperties defaults{0x80000005, 0x80000008, true, ambient, false,
                                           0,          0,          L"",  L""};
    PropertyBag empty;
    writeFolderBrowserProperties(empty, defaults, ambient);
    EXPECT_EQ(empty.size(), 0u);
    EXPECT_EQ(readFolderBrowserProperties(empty, ambient), defaults);

    const FolderBrowserProperties set{
        0x00FF8000, 0x80000012, false,     {L"Tahoma", 10.5, true, true}, true,
        3,          2,          L"中\"文", L"C:\\\"引号\"\r\n第二行\\"};
    PropertyBag bag;
    writeFolderBrowserProperties(bag, set, ambient);
    EXPECT_EQ(bag.save(),
              L"BackColor = 16744448\r\n"
              L"Enabled = False\r\n"
              L"Font = \"Tahoma\" 10.5 True True\r\n"
              L"ForeColor = 2147483666\r\n"
              L"Locked = True\r\n"
              L"SelLength = 3\r\n"
              L"SelStart = 2\r\n"
              L"SelText = \"中\"\"文\"\r\n"
              L"Text = \"C:\\\"\"引号\"\"\r\n第二行\\\"\r\n");
    EXPECT_EQ(readFolderBrowserProperties(PropertyBag::parse(bag.save()).value(), ambient), set);
    EXPECT_EQ(kFolderBrowserProperties[8].description,
              std::wstring(L"Returns/sets the text contained in the control."));
}

TEST(PropertyBag, ReadsWhatItWritesAndRefusesAnythingElse) {
    const auto bag = PropertyBag::parse(
        L"A = -12\r\nB = True\nC = \"x \"\"y\"\"\"\r\n\r\n"
        L"D = \"宋体\" 10.5 False True\r\n");
    ASSERT_TRUE(bag);
    EXPECT_EQ(bag->ReadProperty<long long>(L"A", 0), -12);
    EXPECT_EQ(bag->ReadProperty(L"B", false), true);
    EXPECT_EQ(bag->ReadProperty<std::wstring>(L"C", L""), L"x \"y\"");
    EXPECT_EQ(bag->ReadProperty(L"D", FontDesc{}), (FontDesc{L"宋体", 10.5, false, true}));
    EXPECT_EQ(bag->ReadProperty<long long>(L"B", 7), 7);  // another kind: the default
    EXPECT_EQ(bag->ReadProperty<long long>(L"Z", 7), 7);

    for (const wchar_t* bad : {L"A", L"A = ", L"A=1", L" A = 1", L"A = 1.5", L"A = \"open",
                               L"A = 1 2", L"A = 1\r\nA = 2", L"A = Truex", L"A = -",
                               L"A = 1234567890123456789", L"Ä = 1", L"A = \"f\" 1 True"})
        EXPECT_FALSE(PropertyBag::parse(bad)) << bad;
}

}  // namespace
}  // namespace replybar::controls
