#include "controls/menu_model.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace replybar::menu {
namespace {

using testing::FakePicture;
using testing::FakeSystemColors;

std::int32_t add(MenuModel& m, const std::wstring& alias, int* teardowns = nullptr) {
    return m.addItem(alias, nullptr, L"text", kTypeString, 0, [=] {
        if (teardowns) ++*teardowns;
    });
}

TEST(MenuModel, IdsAreNeverReusedAndTakenAliasesTearDown) {
    MenuModel m;
    EXPECT_EQ(add(m, L"open1"), 0);
    EXPECT_EQ(add(m, L"Open1"), 1);  // case matters
    EXPECT_EQ(m.findItem(L"Open1"), 1);

    // DeleteItem leaves the record, so its alias stays taken.
    int teardowns = 0;
    EXPECT_THROW(add(m, L"open1", &teardowns), MenuError);  // its fields: under Wine
    EXPECT_EQ(teardowns, 1);
    EXPECT_EQ(m.recordCount(), 0u);
    m.teardown();  // the object's own teardown follows; harmless

    // Fresh id after the teardown; the gap of empty records answers to no alias.
    EXPECT_EQ(add(m, L"open3"), 2);
    EXPECT_EQ(m.recordCount(), 3u);
    EXPECT_EQ(m.findItem(L""), std::nullopt);
    EXPECT_EQ(m.itemText(L"open1"), L"");
}

TEST(MenuModel, EmptyAliasIsRefusedEvenOnAnEmptyMenu) {
    MenuModel m;
    int teardowns = 0;
    EXPECT_THROW(add(m, L"", &teardowns), MenuError);
    add(m, L"a");
    EXPECT_THROW(add(m, L"", &teardowns), MenuError);
    EXPECT_EQ(teardowns, 2);
}

TEST(MenuModel, RecordLookups) {
    MenuModel m;
    add(m, L"a");
    m.addItem(L"b", nullptr, L"", kTypeString, 3, {});
    EXPECT_TRUE(m.setItemIcon(L"b", std::make_shared<FakePicture>(42)));
    EXPECT_EQ(pictureHandle(m.itemIcon(L"b")), 42u);

    // The record holds exactly the new state; the system item is only ever OR-ed into.
    const auto update = m.setItemState(L"b", 0);
    ASSERT_TRUE(update);
    EXPECT_EQ(update->itemId, 1);
    EXPECT_EQ(update->orBits, 0);
    EXPECT_EQ(m.itemState(L"b"), 0);

    EXPECT_FALSE(m.setItemText(L"missing", L"x"));
    EXPECT_EQ(m.itemIcon(L"missing"), nullptr);
    EXPECT_EQ(m.itemText(L"missing"), L"");
    EXPECT_EQ(m.setItemState(L"missing", 3), std::nullopt);
}

TEST(MenuModel, ChosenCheckItemToggles) {
    struct Case {
        std::int32_t type, state, expected;
    };
    for (const Case c : {Case{kTypeRadioCheck, 8, 0}, Case{kTypeRadioCheck, 0, 8},
                         Case{kTypeRadioCheck, 9, 8}, Case{kTypeString, 8, 8}}) {
        MenuModel m;
        m.addItem(L"c", nullptr, L"", c.type, c.state, {});
        EXPECT_TRUE(m.toggleCheckOnCommand(0));
        EXPECT_EQ(m.itemState(L"c"), c.expected) << c.type << " " << c.state;
    }
    EXPECT_FALSE(MenuModel().toggleCheckOnCommand(0));
}

TEST(MenuModel, SettersIgnoreOutOfRangeValuesAndStyleSevenIsOnlyStored) {
    MenuModel m;
    FakeSystemColors sys;
    m.setStyle(0, sys, nullptr);
    m.setLeftBarWidth(-1);
    m.setLeftBarStyle(5);
    EXPECT_EQ(m.appearance().leftBarWidth, 20);
    EXPECT_EQ(m.appearance().leftBarStyle, 0);
    m.setLeftBarStyle(4);
    EXPECT_EQ(m.appearance().leftBarStyle, 4);

    const MenuAppearance before = m.appearance();
    m.setStyle(7, sys, nullptr);
    EXPECT_EQ(m.style(), 7);
    EXPECT_EQ(m.appearance(), before);
}

}  // namespace
}  // namespace replybar::menu
