// A launch folder's names, whatever they are: every entry of the map the build writes resolves to
// its own name, and no alias or entry number reads past the map.
#include <vector>

#include "fuzz_common.h"
#include "launch/launch_map.h"

using namespace replybar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::textOf(data, size);
    std::vector<std::wstring> names;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i)
        if (i == text.size() || text[i] == L'|') {
            // File names cannot hold '*' (nor are they empty): the map relies on it.
            std::wstring name = text.substr(start, i - start);
            if (!name.empty() && name.find(L'*') == std::wstring::npos) names.push_back(name);
            start = i + 1;
        }
    std::wstring map;
    for (std::size_t n = 0; n < names.size(); ++n) launch::appendLaunchEntry(map, n + 1, names[n]);
    launch::appendLaunchEntry(map, names.size() + 1, L"");
    for (std::size_t n = 0; n < names.size(); ++n)
        FUZZ_CHECK(launch::resolveLaunchEntry(map, n + 1) == names[n]);
    FUZZ_CHECK(launch::resolveLaunchEntry(map, names.size() + 1) == std::wstring());
    FUZZ_CHECK(!launch::resolveLaunchEntry(map, names.size() + 2));
    launch::resolveLaunchEntry(text, static_cast<long long>(size));  // a map of any text
    if (const auto n = launch::entryNumberFromAlias(text)) FUZZ_CHECK(*n >= 0);
    return 0;
}
