// Reply files of any bytes (GBK, UTF-8 with a mark, UTF-16, broken, huge lines): decoded without a
// crash into a one-line row caption, and whatever they decode to is written so it reads back.
#include "fuzz_common.h"
#include "core/replies.h"

using namespace replybar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = codec::decodeStoreText(fuzz::bytesOf(data, size));
    const std::wstring row = displayTextOf(text);
    FUZZ_CHECK(!row.empty() && row.back() == L'\u3000');
    FUZZ_CHECK(row.find_first_of(L"\r\n\t") == std::wstring::npos);
    FUZZ_CHECK(codec::decodeStoreText(codec::encodeStoreText(text)) == text);
    codec::gbkByteLength(text);
    return 0;
}
