// What the user reads when a reply's fields cannot be filled, under kMessageTitle.
#pragma once

#include "core/message_titles.h"

namespace replybar::texts {

inline constexpr wchar_t kNoClipboardText[] =
    L"这条回复要填入剪贴板里的文字（{剪贴板}），但剪贴板里现在没有文字，"
    L"所以这次没有粘贴，也没有发送任何内容。\n\n请先复制要填入的内容（比如订单号），再选这条回复。";
inline constexpr wchar_t kNoAgentName[] =
    L"这条回复要填入您的称呼（{客服}），但还没有设置“我的称呼”，"
    L"所以这次没有粘贴，也没有发送任何内容。\n\n现在就去设置吗？";

}  // namespace replybar::texts
