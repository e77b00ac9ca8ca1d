#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace vsr::platform {

// The per-user store of string values, addressed like the registry: a key path
// such as "Software\Vantix Search & Replace\Options" and a value name.
// Values are bytes; the store never interprets them.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The value, or nothing when the key or the value is missing.
    virtual std::optional<std::string> readString(std::string_view keyPath, std::string_view name) = 0;

    // Keys are created when first written. The write becomes durable only with commit().
    virtual void writeString(std::string_view keyPath, std::string_view name, std::string_view value) = 0;

    // Makes every write since the last commit durable at once. False when that failed
    // (full disk, unwritable folder); the stored file is then exactly as it was before.
    virtual bool commit() = 0;
};

}  // namespace vsr::platform
