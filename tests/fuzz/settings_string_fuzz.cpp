// The settings string as a hand-edited registry value may hold it: parsed without a crash, and
// what the bar writes back reads as the same fields.
#include "bar/startup.h"
#include "core/settings.h"
#include "fuzz_common.h"

using namespace replybar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Settings f;
    parseSettingsString(fuzz::textOf(data, size), f);
    if (!f.launchFolder) return 0;
    FUZZ_CHECK(f.homePage.find(L',') == std::wstring::npos);
    Settings again;
    parseSettingsString(formatSettingsString(f), again);
    FUZZ_CHECK(again.launchFolder == f.launchFolder && again.homePage == f.homePage);
    const StoredPosition p = f.position.value_or(StoredPosition{});
    FUZZ_CHECK(again.position &&
               again.position->left == static_cast<double>(static_cast<long long>(p.left)));
    twipsToPixels(p.left);
    return 0;
}
