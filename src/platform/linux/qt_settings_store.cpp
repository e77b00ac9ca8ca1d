#include "platform/linux/qt_settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/linux/ini_text.h"
#include "platform/safe_writer.h"

namespace vsr::platform {

namespace {

// The values in the file; none when it is missing or unreadable.
QMap<QString, QVariant> valuesInFile(const std::string& path) {
    std::optional<std::string> bytes = readWholeFile(path);
    if (!bytes) return {};
    return valuesOfIniText(QByteArray::fromStdString(*bytes));
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

const QtSettingsStore::Values& QtSettingsStore::values() {
    if (!values_) values_ = valuesInFile(path_);
    return *values_;
}

std::optional<std::string> QtSettingsStore::readString(std::string_view keyPath, std::string_view name) {
    const QString key = keyOf(keyPath, name);
    auto changed = changes_.constFind(key);
    const QVariant value = changed != changes_.constEnd() ? *changed : values().value(key);
    if (!value.isValid()) return std::nullopt;
    return value.toByteArray().toStdString();
}

void QtSettingsStore::writeString(std::string_view keyPath, std::string_view name, std::string_view value) {
    changes_.insert(keyOf(keyPath, name), QByteArray(value.data(), static_cast<qsizetype>(value.size())));
}

bool QtSettingsStore::commit() {
    // The file is read again, so values another instance saved meanwhile are kept.
    Values merged = valuesInFile(path_);
    for (auto it = changes_.constBegin(); it != changes_.constEnd(); ++it) merged.insert(it.key(), it.value());
    QDir().mkpath(QFileInfo(QFile::decodeName(QByteArray::fromStdString(path_))).absolutePath());
    const QByteArray text = iniTextOf(merged);
    if (!writeFileAtomically(path_, std::string_view(text.constData(), static_cast<std::size_t>(text.size()))))
        return false;
    values_ = std::move(merged);
    changes_.clear();
    return true;
}

}  // namespace vsr::platform
