#pragma once
#include <QMap>
#include <QString>
#include <QVariant>
#include <optional>
#include <string>

#include "platform/settings_store.h"

namespace vsr::platform {

// The settings store as an INI file, in the INI format QSettings knows. The file
// shows the key paths as sections and the value names as they are:
//   [Software\Vantix Search & Replace\Options]
//   SensitiveCheckBox=0
// Values are bytes; only "\", CR, LF and NUL are escaped. Every commit goes through the
// program's safe writer, so a failed or killed save leaves the old file, and a file with
// several hard links (or in a folder of dotfiles linked elsewhere) stays one file.
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

    // A file that could not be read, or held lines that are no setting, is kept beside the
    // settings as "settings.ini.damaged" before anything replaces it; this is the path of that
    // copy (empty when the file was sound), for the program to say so once.
    const std::string& damagedCopy() const { return damagedCopy_; }
    static std::string damagedCopyMessage(const std::string& settingsFile, const std::string& copy);

private:
    using Values = QMap<QString, QVariant>;
    const Values& values();
    // The values in the file (none when it is missing), keeping a damaged file first.
    Values readFile();
    void keepDamaged(const std::optional<std::string>& bytes);

    std::string path_;
    std::optional<Values> values_;  // the file as last read or written
    Values changes_;                // written since the last commit
    std::string damagedCopy_;

};

}  // namespace vsr::platform
