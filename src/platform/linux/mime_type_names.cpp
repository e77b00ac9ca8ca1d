#include "platform/linux/mime_type_names.h"

#include <QFile>
#include <QMimeDatabase>

namespace vsr::platform {

namespace {

QMimeType typeOf(std::string_view fileName) {
    static const QMimeDatabase db;
    const QString name = QFile::decodeName(QByteArray(fileName.data(), static_cast<qsizetype>(fileName.size())));
    return db.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
}

}  // namespace

std::optional<std::string> MimeTypeNames::typeName(std::string_view fileName) const {
    const QMimeType type = typeOf(fileName);
    // The catch-all type ("unknown") is no name: the extension fallback says more.
    if (!type.isValid() || type.isDefault() || type.comment().isEmpty()) return std::nullopt;
    return type.comment().toStdString();
}

std::string MimeTypeNames::iconName(std::string_view fileName) const {
    const QMimeType type = typeOf(fileName);
    if (!type.isValid() || type.isDefault()) return {};
    return type.iconName().toStdString();
}

}  // namespace vsr::platform
