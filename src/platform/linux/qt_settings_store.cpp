#include "platform/linux/qt_settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

#include "platform/linux/ini_text.h"
#include "durable/safe_writer.h"

namespace vsr::platform {

namespace {

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

std::string QtSettingsStore::damagedCopyMessage(const std::string& settingsFile, const std::string& copy) {
    return "The settings file " + settingsFile + " was damaged. It is kept as " + copy +
           "; the settings it could not give start from their defaults.";
}

void QtSettingsStore::keepDamaged(const std::optional<std::string>& bytes) {
    const std::string copy = path_ + ".damaged";
    // Bytes that were read are copied, so a settings file that is a link stays one; a file
    // that can't be read at all is moved aside whole.
    const bool kept = bytes ? durable::writeFileAtomically(copy, *bytes) : ::rename(path_.c_str(), copy.c_str()) == 0;
    if (kept && damagedCopy_.empty()) damagedCopy_ = copy;
}

QtSettingsStore::Values QtSettingsStore::readFile() {
    std::optional<std::string> bytes = readWholeFile(path_);
    if (!bytes) {
        struct stat st {};
        // Missing is a first start; anything else that can't be read is kept before it is replaced.
        if (::lstat(path_.c_str(), &st) == 0 || errno != ENOENT) keepDamaged(std::nullopt);
        return {};
    }
    int damaged = 0;
    Values values = valuesOfIniText(QByteArray::fromStdString(*bytes), &damaged);
    if (damaged > 0) keepDamaged(bytes);
    return values;
}

const QtSettingsStore::Values& QtSettingsStore::values() {
    if (!values_) values_ = readFile();
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
    Values merged = readFile();
    for (auto it = changes_.constBegin(); it != changes_.constEnd(); ++it) merged.insert(it.key(), it.value());
    QDir().mkpath(QFileInfo(QFile::decodeName(QByteArray::fromStdString(path_))).absolutePath());
    const QByteArray text = iniTextOf(merged);
    if (!durable::writeFileAtomically(path_, std::string_view(text.constData(), static_cast<std::size_t>(text.size()))))
        return false;
    values_ = std::move(merged);
    changes_.clear();
    return true;
}

}  // namespace vsr::platform
