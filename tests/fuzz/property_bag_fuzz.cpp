// The folder picker's property bag from any text: read without a crash, and a bag that reads
// saves to text that reads back as the same bag and the same properties.
#include "controls/folder_browser.h"
#include "fuzz_common.h"

using namespace replybar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto bag = controls::PropertyBag::parse(fuzz::textOf(data, size));
    if (!bag) return 0;
    const auto again = controls::PropertyBag::parse(bag->save());
    FUZZ_CHECK(again && *again == *bag);
    const controls::FontDesc ambient{L"宋体", 9, false, false};
    const auto properties = controls::readFolderBrowserProperties(*bag, ambient);
    controls::PropertyBag written;
    controls::writeFolderBrowserProperties(written, properties, ambient);
    FUZZ_CHECK(controls::readFolderBrowserProperties(written, ambient) == properties);
    return 0;
}
