#include "platform/linux/qt_settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "platform/linux/ini_text.h"

namespace vsr::platform {

namespace {

bool readIni(QIODevice& device, QSettings::SettingsMap& map) {
    map = valuesOfIniText(device.readAll());
    return true;
}

bool writeIni(QIODevice& device, const QSettings::SettingsMap& map) {
    const QByteArray text = iniTextOf(map);
    return device.write(text) == text.size();
}

QSettings::Format iniFormat() {
    static const QSettings::Format format = QSettings::registerFormat("ini", readIni, writeIni, Qt::CaseSensitive);
    return format;
}

QString keyOf(std::string_view keyPath, std::string_view name) {
    QString key = QString::fromUtf8(keyPath.data(), static_cast<qsizetype>(keyPath.size()));
    key.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return key + QLatin1Char('/') + QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

std::string QtSettingsStore::defaultFilePath() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QFile::encodeName(config + QStringLiteral("/Vantix Search & Replace/settings.ini")).toStdString();
}

QtSettingsStore::QtSettingsStore() : QtSettingsStore(defaultFilePath()) {}

QtSettingsStore::QtSettingsStore(std::string filePath) : path_(std::move(filePath)) {}

QtSettingsStore::~QtSettingsStore() = default;

QSettings& QtSettingsStore::settings() {
    if (!settings_) {
        settings_ = std::make_unique<QSettings>(QFile::decodeName(QByteArray::fromStdString(path_)), iniFormat());
        // Only a complete file may replace the old one.
        settings_->setAtomicSyncRequired(true);
    }
    return *settings_;
}

std::optional<std::string> QtSettingsStore::readString(std::string_view keyPath, std::string_view name) {
    const QVariant value = settings().value(keyOf(keyPath, name));
    if (!value.isValid()) return std::nullopt;
    return value.toByteArray().toStdString();
}

void QtSettingsStore::writeString(std::string_view keyPath, std::string_view name, std::string_view value) {
    settings().setValue(keyOf(keyPath, name),
                        QByteArray(value.data(), static_cast<qsizetype>(value.size())));
}

bool QtSettingsStore::commit() {
    QSettings& s = settings();
    // QSettings creates the file but not always its folder.
    QDir().mkpath(QFileInfo(s.fileName()).absolutePath());
    s.sync();
    const bool ok = s.status() == QSettings::NoError;
    // A fresh QSettings next time: its status starts clean and it rereads the file.
    settings_.reset();
    return ok;
}

}  // namespace vsr::platform
