// A launch folder's names, whatever they are: every entry of the map resolves to its own name,
// and no entry number reads past the map.
#include <vector>

#include "fuzz_common.h"
#include "controls/launch_map.h"

using namespace replybar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::textOf(data, size);
    launch::LaunchMap map;  // the names between '|', then the empty name that closes the list
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i)
        if (i == text.size() || text[i] == L'|') {
            map.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    map.emplace_back();
    const long long n = static_cast<long long>(map.size());
    for (long long k = 1; k <= n; ++k)
        FUZZ_CHECK(launch::resolveLaunchEntry(map, k) == map[static_cast<std::size_t>(k - 1)]);
    FUZZ_CHECK(!launch::resolveLaunchEntry(map, n + 1) && !launch::resolveLaunchEntry(map, 0));
    launch::resolveLaunchEntry(map, -static_cast<long long>(size));
    return 0;
}
