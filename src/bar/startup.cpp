#include "bar/startup.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <vector>

namespace replybar {

namespace {

// A piece of the face the user can still take hold of with the pointer to drag it back.
constexpr int kGrabbablePx = 10;

bool grabbableOn(const PxRect& face, const PxRect& m) {
    const Overlap o = overlapOf(face, m);
    return o.width >= kGrabbablePx && o.height >= kGrabbablePx;
}

int clampInto(int start, int size, int low, int high) {
    return std::max(low, std::min(start, high - size));
}

}  // namespace

PxRect keepOnScreen(const PxRect& face, const std::vector<PxRect>& monitors) {
    const PxRect* nearest = nullptr;
    for (const PxRect& m : monitors) {
        if (grabbableOn(face, m)) return face;
        if (!nearest || distanceSquared(face, m) < distanceSquared(face, *nearest) ||
            (distanceSquared(face, m) == distanceSquared(face, *nearest) &&
             overlapArea(face, m) > overlapArea(face, *nearest)))
            nearest = &m;
    }
    if (!nearest) return face;
    const int w = face.right - face.left, h = face.bottom - face.top;
    const int left = clampInto(face.left, w, nearest->left, nearest->right);
    const int top = clampInto(face.top, h, nearest->top, nearest->bottom);
    return {left, top, left + w, top + h};
}

std::wstring dataDirFrom(const std::wstring& appDataPath) {
    if (appDataPath.empty()) return L"";  // no folder: never the root of the current drive
    if (appDataPath.back() == L'\\') return appDataPath;
    return appDataPath + L'\\';
}

std::wstring quickLaunchDirFrom(const std::wstring& appDataPath) {
    if (appDataPath.empty()) return L"";
    return dataDirFrom(appDataPath) + L"Microsoft\\Internet Explorer\\Quick Launch\\";
}

namespace {

// A whole field that is a decimal number (sign, digits, optional fraction, spaces around).
std::optional<double> strictNumber(const std::wstring& field) {
    const auto first = field.find_first_not_of(L' ');
    if (first == std::wstring::npos) return std::nullopt;
    const auto last = field.find_last_not_of(L' ');
    const std::wstring t = field.substr(first, last - first + 1);
    std::size_t i = 0;
    if (t[i] == L'+' || t[i] == L'-') ++i;
    std::size_t digits = 0, dots = 0;
    for (std::size_t j = i; j < t.size(); ++j) {
        if (t[j] >= L'0' && t[j] <= L'9')
            ++digits;
        else if (t[j] == L'.' && dots == 0)
            ++dots;
        else
            return std::nullopt;
    }
    if (digits == 0 || digits > 15) return std::nullopt;
    return std::wcstod(t.c_str(), nullptr);
}

}  // namespace

SettingsFields parseSettingsString(const std::wstring& text) {
    std::vector<std::wstring> fields;
    std::size_t start = 0;
    for (;;) {
        const auto comma = text.find(L',', start);
        fields.push_back(text.substr(start, comma == std::wstring::npos ? comma : comma - start));
        if (comma == std::wstring::npos) break;
        start = comma + 1;
    }
    SettingsFields out;
    if (fields.size() < 4) return out;
    out.left = strictNumber(fields[0]);
    out.top = strictNumber(fields[1]);
    if (!out.left || !out.top) out.left = out.top = std::nullopt;
    out.homePage = fields.back();
    std::wstring folder = fields[2];
    for (std::size_t i = 3; i + 1 < fields.size(); ++i) folder += L"," + fields[i];
    out.launchFolder = folder;
    return out;
}

std::wstring formatSettingsString(long long leftTwips, long long topTwips,
                                  const std::wstring& launchFolder, const std::wstring& homePage) {
    return std::to_wstring(leftTwips) + L"," + std::to_wstring(topTwips) + L"," + launchFolder +
           L"," + homePage;
}

void saveSettingsString(ISettingsStore& store, IMessages& messages, const std::wstring& text) {
    std::wstring reason;
    if (store.write(text, reason)) return;
    const std::wstring what = L"无法保存设置：工具条的位置、快速启动文件夹和主页没有保存。";
    messages.show(what + L"\n\n" + reason, L"快捷回复条", MessageKind::Error);
}

FirstStartPlacement firstStartPlacement(const PxRect& wa, const taskbar::Screen& screen) {
    // The taskbar rectangle comes in the screen's own twips (1440 / DPI per pixel: 12 at 120
    // DPI), the bar's position in its fixed 15 per pixel. Mixing the two put the bar about
    // 200 px above the taskbar at 125 %: the height goes back to pixels with the factor it was
    // made with, and everything the bar keeps is in its own twips.
    const PxRect tb = taskbar::taskbarRectOf(wa, screen);
    const int ty = screen.twipsPerPixelY & 0xFF;  // as taskbarRectOf took it
    const long long taskbarPx = ty > 0 ? (static_cast<long long>(tb.bottom) - tb.top) / ty : 0;
    FirstStartPlacement p;
    switch (taskbar::taskbarEdgeOf(wa, screen)) {
        case taskbar::Bottom:
        case taskbar::Top:
            p.left = kFirstStartLeftTwips;
            p.top = static_cast<double>(screen.heightPx - taskbarPx) * kTwipsPerPixel -
                    kFirstStartHeightTwips;
            break;
        case taskbar::Left:
        case taskbar::Right:
            // A side or hidden taskbar spans the whole height, which would put the bar above the
            // screen: sit on the work area's lower edge instead.
            p.left = static_cast<double>(wa.left) * kTwipsPerPixel + kFirstStartLeftTwips;
            p.top = static_cast<double>(wa.bottom) * kTwipsPerPixel - kFirstStartHeightTwips;
            break;
    }
    return p;
}

}  // namespace replybar
