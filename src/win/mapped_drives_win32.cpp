#include "win/mapped_drives_win32.h"

#include <windows.h>
#include <winnetwk.h>

#include <vector>

namespace replybar::win {

std::optional<std::wstring> shareFormOf(const std::wstring& path) {
    if (path.size() < 3 || path[1] != L':' || (path[2] != L'\\' && path[2] != L'/'))
        return std::nullopt;
    const std::wstring root = path.substr(0, 3);
    if (::GetDriveTypeW(root.c_str()) != DRIVE_REMOTE) return std::nullopt;
    // UNIVERSAL_NAME_INFOW is a pointer into the same buffer, followed by the text.
    std::vector<BYTE> buffer(sizeof(UNIVERSAL_NAME_INFOW) + 2048 * sizeof(wchar_t));
    DWORD size = static_cast<DWORD>(buffer.size());
    if (::WNetGetUniversalNameW(path.c_str(), UNIVERSAL_NAME_INFO_LEVEL, buffer.data(), &size) !=
        NO_ERROR)
        return std::nullopt;
    const auto* info = reinterpret_cast<const UNIVERSAL_NAME_INFOW*>(buffer.data());
    if (!info->lpUniversalName || info->lpUniversalName[0] != L'\\') return std::nullopt;
    return std::wstring(info->lpUniversalName);
}

std::optional<std::wstring> driveFormOf(const std::wstring& sharePath) {
    if (sharePath.rfind(L"\\\\", 0) != 0) return std::nullopt;
    const DWORD drives = ::GetLogicalDrives();
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        if (!(drives & (1u << (letter - L'A')))) continue;
        const wchar_t local[] = {letter, L':', 0};
        const wchar_t root[] = {letter, L':', L'\\', 0};
        if (::GetDriveTypeW(root) != DRIVE_REMOTE) continue;
        wchar_t remote[1024];
        DWORD length = ARRAYSIZE(remote);
        if (::WNetGetConnectionW(local, remote, &length) != NO_ERROR) continue;
        const std::wstring share = remote;
        if (share.size() >= sharePath.size() || sharePath[share.size()] != L'\\') continue;
        if (::CompareStringOrdinal(share.c_str(), static_cast<int>(share.size()), sharePath.c_str(),
                                   static_cast<int>(share.size()), TRUE) != CSTR_EQUAL)
            continue;
        return local + sharePath.substr(share.size());
    }
    return std::nullopt;
}

}  // namespace replybar::win
