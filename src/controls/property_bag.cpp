#include "controls/property_bag.h"

#include <cstdio>
#include <cwchar>
#include <vector>

namespace replybar::controls {

namespace {

std::wstring quoted(const std::wstring& s) {
    std::wstring out = L"\"";
    for (wchar_t c : s) {
        if (c == L'"') out += L'"';
        out += c;
    }
    return out + L'"';
}

// Fixed-point, at most 15 decimals, no trailing zeros: what the reader takes back exactly.
std::wstring number(double v) {
    wchar_t buf[64];
    std::swprintf(buf, 64, L"%.15f", v);
    std::wstring s = buf;
    if (s.find(L'.') != std::wstring::npos) {
        s.erase(s.find_last_not_of(L'0') + 1);
        if (s.back() == L'.') s.pop_back();
    }
    return s == L"-0" ? L"0" : s;
}

const wchar_t* truth(bool b) { return b ? L"True" : L"False"; }

bool isNameChar(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') ||
           c == L'_';
}

// One token of a value: a string, a number (with `whole` telling whether it had no fraction)
// or a truth value.
struct Token {
    enum Kind { String, Number, Truth } kind;
    std::wstring text;
    double number = 0;
    long long integer = 0;
    bool whole = true;
    bool truth = false;
};

// Reads the token at `i`, leaving `i` after it; false for anything else.
bool readToken(const std::wstring& t, std::size_t& i, Token& out) {
    if (t[i] == L'"') {
        out = {Token::String, {}};
        for (++i;; ++i) {
            if (i >= t.size()) return false;
            if (t[i] != L'"') {
                out.text += t[i];
                continue;
            }
            if (i + 1 < t.size() && t[i + 1] == L'"') {
                out.text += t[i++];
                continue;
            }
            ++i;
            return true;
        }
    }
    for (const bool b : {true, false}) {
        const std::wstring word = truth(b);
        if (t.compare(i, word.size(), word) == 0) {
            out = {Token::Truth, {}};
            out.truth = b;
            i += word.size();
            return true;
        }
    }
    const std::size_t start = i;
    if (t[i] == L'-') ++i;
    std::size_t digits = 0, fraction = 0;
    bool point = false;
    for (; i < t.size() && t[i] >= L'0' && t[i] <= L'9'; ++i) ++digits;
    if (i < t.size() && t[i] == L'.')
        for (point = true, ++i; i < t.size() && t[i] >= L'0' && t[i] <= L'9'; ++i) ++fraction;
    // Short enough to stay exact as a whole number and finite as a size.
    if (digits == 0 || digits > (point ? 15u : 18u) || fraction > 15) return false;
    out = {Token::Number, t.substr(start, i - start)};
    out.whole = !point;
    out.number = std::wcstod(out.text.c_str(), nullptr);
    out.integer = point ? 0 : std::wcstoll(out.text.c_str(), nullptr, 10);
    return true;
}

std::optional<PropertyBag::Value> valueOf(const std::vector<Token>& v) {
    if (v.size() == 1) {
        switch (v[0].kind) {
            case Token::String: return PropertyBag::Value(v[0].text);
            case Token::Truth: return PropertyBag::Value(v[0].truth);
            case Token::Number:
                if (!v[0].whole) return std::nullopt;
                return PropertyBag::Value(v[0].integer);
        }
    }
    if (v.size() == 4 && v[0].kind == Token::String && v[1].kind == Token::Number &&
        v[2].kind == Token::Truth && v[3].kind == Token::Truth)
        return PropertyBag::Value(FontDesc{v[0].text, v[1].number, v[2].truth, v[3].truth});
    return std::nullopt;
}

}  // namespace

std::wstring PropertyBag::save() const {
    std::wstring out;
    for (const auto& [name, value] : values_) {
        out += name + L" = ";
        if (const auto* n = std::get_if<long long>(&value)) out += std::to_wstring(*n);
        if (const auto* b = std::get_if<bool>(&value)) out += truth(*b);
        if (const auto* s = std::get_if<std::wstring>(&value)) out += quoted(*s);
        if (const auto* f = std::get_if<FontDesc>(&value))
            out += quoted(f->face) + L" " + number(f->points) + L" " + truth(f->bold) + L" " +
                   truth(f->italic);
        out += L"\r\n";
    }
    return out;
}

std::optional<PropertyBag> PropertyBag::parse(const std::wstring& text) {
    PropertyBag bag;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == L'\r' || text[i] == L'\n') {
            ++i;
            continue;
        }
        const std::size_t nameStart = i;
        while (i < text.size() && isNameChar(text[i])) ++i;
        if (i == nameStart || text.compare(i, 3, L" = ") != 0) return std::nullopt;
        const std::wstring name = text.substr(nameStart, i - nameStart);
        i += 3;
        std::vector<Token> tokens;
        for (;;) {
            Token token{Token::Truth, {}};
            if (i >= text.size() || !readToken(text, i, token)) return std::nullopt;
            tokens.push_back(std::move(token));
            if (i < text.size() && text[i] == L' ') {
                ++i;
                continue;
            }
            if (i < text.size() && text[i] != L'\r' && text[i] != L'\n') return std::nullopt;
            break;
        }
        auto value = valueOf(tokens);
        if (!value || bag.values_.count(name)) return std::nullopt;
        bag.values_.emplace(name, std::move(*value));
    }
    return bag;
}

}  // namespace replybar::controls
