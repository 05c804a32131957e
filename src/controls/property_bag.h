// A small property bag, the way a control keeps its design-time properties: named values, one
// line each as text ("Name = value"), read back with the caller's default for anything absent.
// A value is a whole number, True/False, a quoted string ("" stands for one quote, line breaks
// are kept) or a font: its face as a string, its size in points and two flags.
// It serves the folder picker's saved properties (FolderBrowser::ReadProperties and
// WriteProperties); the bar keeps nothing in a bag and relies on no part of it.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <variant>

namespace replybar::controls {

struct FontDesc {
    std::wstring face;
    double points = 9;
    bool bold = false, italic = false;
    bool operator==(const FontDesc&) const = default;
};

class PropertyBag {
public:
    using Value = std::variant<long long, bool, std::wstring, FontDesc>;

    // Stores `value`, or forgets the name when the value is the default: a bag holds only what
    // differs from the defaults, so a default changed later reaches every saved control.
    template <typename T>
    void WriteProperty(const std::wstring& name, const T& value, const T& defaultValue) {
        if (value == defaultValue)
            values_.erase(name);
        else
            values_[name] = Value(value);
    }
    // The stored value, or `defaultValue` when the name is absent or holds another kind.
    template <typename T>
    T ReadProperty(const std::wstring& name, const T& defaultValue) const {
        const auto it = values_.find(name);
        if (it == values_.end()) return defaultValue;
        const T* v = std::get_if<T>(&it->second);
        return v ? *v : defaultValue;
    }

    std::wstring save() const;
    // nullopt for text that is not a bag (a line without " = ", an unknown value, a name twice).
    static std::optional<PropertyBag> parse(const std::wstring& text);

    std::size_t size() const { return values_.size(); }
    bool operator==(const PropertyBag&) const = default;

private:
    std::map<std::wstring, Value> values_;
};

}  // namespace replybar::controls
