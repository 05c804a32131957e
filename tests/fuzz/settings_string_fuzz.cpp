// The settings string as a hand-edited registry value may hold it: parsed without a crash, and
// what the bar writes back reads as the same fields.
#include "bar/startup.h"
#include "fuzz_common.h"

using namespace replybar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const SettingsFields f = parseSettingsString(fuzz::textOf(data, size));
    if (!f.launchFolder || !f.homePage) return 0;
    FUZZ_CHECK(f.homePage->find(L',') == std::wstring::npos);
    const long long left = f.left ? static_cast<long long>(*f.left) : 0;
    const long long top = f.top ? static_cast<long long>(*f.top) : 0;
    const SettingsFields again =
        parseSettingsString(formatSettingsString(left, top, *f.launchFolder, *f.homePage));
    FUZZ_CHECK(again.launchFolder == f.launchFolder && again.homePage == f.homePage);
    FUZZ_CHECK(again.left && *again.left == static_cast<double>(left));
    twipsToPixels(f.left.value_or(0));
    return 0;
}
