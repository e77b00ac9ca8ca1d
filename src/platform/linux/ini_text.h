#pragma once
#include <QByteArray>
#include <QSettings>

namespace vsr::platform {

// The INI text of the settings file: one section per key path ("\" between the
// keys), "name=value" lines, values escaped only where a line would break.
QByteArray iniTextOf(const QSettings::SettingsMap& values);

// Reads what iniTextOf wrote, and whatever a person may have typed: lines that are
// not "name=value" and comments (";" or "#") are skipped, CR LF line ends accepted.
// With `damaged`, it counts the lines skipped that were neither blank nor a comment
// (a rewrite of the file would lose them).
QSettings::SettingsMap valuesOfIniText(const QByteArray& text, int* damaged = nullptr);

QByteArray escapedIniValue(const QByteArray& value);
QByteArray unescapedIniValue(const QByteArray& text);

}  // namespace vsr::platform
