#pragma once
#include <QByteArray>
#include <QSettings>

namespace vsr::platform {

// The INI text of the settings file: one section per key path ("\" between the
// keys), "name=value" lines, values escaped only where a line would break.
QByteArray iniTextOf(const QSettings::SettingsMap& values);

// Reads what iniTextOf wrote, and whatever a person may have typed: lines that are
// not "name=value" and comments (";" or "#") are skipped, CR LF line ends accepted.
QSettings::SettingsMap valuesOfIniText(const QByteArray& text);

QByteArray escapedIniValue(const QByteArray& value);
QByteArray unescapedIniValue(const QByteArray& text);

}  // namespace vsr::platform
