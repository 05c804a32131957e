// The launcher's caption rule on any file name: a shortcut-like name loses its last extension
// and nothing else; the path of a name keeps exactly one backslash before it.
#include "fuzz_common.h"
#include "controls/launch_map.h"

using namespace replybar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring name = fuzz::textOf(data, size);
    const std::wstring caption = launch::launcherCaption(name);
    FUZZ_CHECK(name.compare(0, caption.size(), caption) == 0);
    if (caption != name) FUZZ_CHECK(name[caption.size()] == L'.');
    launch::isBlankCaption(caption);
    const std::wstring path = launch::launchPath(name, L"a.lnk");
    FUZZ_CHECK(path.size() >= 5 && path.compare(path.size() - 5, 5, L"a.lnk") == 0);
    if (!name.empty()) FUZZ_CHECK(path.size() - 5 >= 1 && (path[path.size() - 6] == L'\\' || path[path.size() - 6] == L'/'));
    return 0;
}
