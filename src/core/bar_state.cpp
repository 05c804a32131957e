#include "core/bar_state.h"

#include <cmath>
#include <cwctype>

namespace replybar {

double lenientNumber(const std::wstring& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    double value = 0;
    bool any = false;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i, any = true)
        value = value * 10 + (text[i] - L'0');
    if (i < text.size() && text[i] == L'.') {
        double scale = 0.1;
        for (++i; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i, any = true) {
            value += (text[i] - L'0') * scale;
            scale /= 10;
        }
    }
    if (!any) return 0;
    return negative ? -value : value;
}

long long lenientInteger(const std::wstring& text) {
    const double v = lenientNumber(text);
    if (!std::isfinite(v) || v > 9e18 || v < -9e18) return 0;
    return static_cast<long long>(v);
}

std::wstring decimal(long long value) { return std::to_wstring(value); }

bool decrementCountdown(std::wstring& countdown) {
    countdown = decimal(lenientInteger(countdown) - 1);
    return countdown == L"0";
}

}  // namespace replybar
