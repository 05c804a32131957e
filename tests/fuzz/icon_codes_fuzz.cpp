// Icon code strings as a hand-edited bmpk.txt may hold them, and edits at any reply number: an
// edit lands at its own reply and moves no other reply's icon.
#include "fuzz_common.h"
#include "reply/icon_codes.h"

using namespace replybar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int k = 1 + data[0] % 45;
    const wchar_t code = static_cast<wchar_t>(L'0' + data[1] % 10);
    const std::wstring codes = withoutLineBreaks(fuzz::textOf(data + 2, size - 2));

    const std::wstring replaced = replaceIconCode(codes, k, code);
    FUZZ_CHECK(iconCodeAt(replaced, k - 1) == code);
    for (int row = 0; row < 45; ++row)
        if (row != k - 1) FUZZ_CHECK(iconCodeAt(replaced, row) == iconCodeAt(codes, row));

    const std::wstring removed = removeIconCode(codes, k);
    for (int row = 0; row < 45; ++row)
        FUZZ_CHECK(iconCodeAt(removed, row) == iconCodeAt(codes, row < k - 1 ? row : row + 1));

    const std::wstring appended = appendIconCode(codes, k - 1, code);
    FUZZ_CHECK(appended.size() == static_cast<std::size_t>(k));
    FUZZ_CHECK(iconCodeAt(appended, k - 1) == code);
    for (int row = 0; row < k - 1; ++row)
        FUZZ_CHECK(iconCodeAt(appended, row) == iconCodeAt(codes, row));
    return 0;
}
