#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/settings_store.h"

namespace vsr::settings {

// A whole number in decimal, optionally signed and surrounded by blanks, that fits
// in 32 bits; anything else is no number.
std::optional<int> parseWholeNumber(std::string_view text);

// Reads the typed values of one key: a missing value or text that is not a whole
// number gives the default; a boolean is true for any non-zero number.
class ValueReader {
public:
    ValueReader(platform::SettingsStore& store, std::string_view keyPath) : store_(store), key_(keyPath) {}
    int integer(std::string_view name, int fallback) const;
    bool boolean(std::string_view name, bool fallback) const;
    std::string text(std::string_view name, const std::string& fallback) const;
    std::optional<std::string> raw(std::string_view name) const { return store_.readString(key_, name); }

private:
    platform::SettingsStore& store_;
    std::string_view key_;
};

// Writes typed values as their texts: integers in decimal, booleans "1" and "0".
class ValueWriter {
public:
    ValueWriter(platform::SettingsStore& store, std::string_view keyPath) : store_(store), key_(keyPath) {}
    void integer(std::string_view name, int value) { store_.writeString(key_, name, std::to_string(value)); }
    void boolean(std::string_view name, bool value) { store_.writeString(key_, name, value ? "1" : "0"); }
    void text(std::string_view name, std::string_view value) { store_.writeString(key_, name, value); }

private:
    platform::SettingsStore& store_;
    std::string_view key_;
};

}  // namespace vsr::settings
