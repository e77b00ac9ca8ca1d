#pragma once
#include <memory>
#include <string>

#include "platform/settings_store.h"

class QSettings;

namespace vsr::platform {

// The settings store as an INI file read and written through QSettings. The file
// shows the key paths as sections and the value names as they are:
//   [Software\Vantix Search & Replace\Options]
//   SensitiveCheckBox=0
// Values are bytes; only "\", CR, LF and NUL are escaped. Every commit replaces the
// file at once (temporary file + rename), so a failed save leaves the old file.
class QtSettingsStore final : public SettingsStore {
public:
    // The user's file: $XDG_CONFIG_HOME/Vantix Search & Replace/settings.ini.
    QtSettingsStore();
    explicit QtSettingsStore(std::string filePath);
    ~QtSettingsStore() override;

    std::optional<std::string> readString(std::string_view keyPath, std::string_view name) override;
    void writeString(std::string_view keyPath, std::string_view name, std::string_view value) override;
    bool commit() override;

    const std::string& filePath() const { return path_; }
    static std::string defaultFilePath();

private:
    QSettings& settings();

    std::string path_;
    std::unique_ptr<QSettings> settings_;
};

}  // namespace vsr::platform
