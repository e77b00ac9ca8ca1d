#include "platform/linux/qt_trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace vsr::platform {

namespace {

// Qt 6.4 can't make the home trash when $XDG_DATA_HOME itself is missing, and then
// files the item under the working folder while reporting success. Making the
// folders first avoids that; they are private to the user as the trash rules ask.
void ensureHomeTrash() {
    const QString trash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                          QStringLiteral("/Trash");
    if (QFileInfo::exists(trash + QStringLiteral("/files")) && QFileInfo::exists(trash + QStringLiteral("/info")))
        return;
    QDir().mkpath(trash + QStringLiteral("/files"));
    QDir().mkpath(trash + QStringLiteral("/info"));
    QFile::setPermissions(trash, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

}  // namespace

bool QtTrash::moveToTrash(const std::string& path) {
    const QString name = QFile::decodeName(QByteArray::fromStdString(path));
    // Only files are sent; a folder handed over by mistake stays where it is.
    const QFileInfo info(name);
    if (!info.exists() && !info.isSymLink()) return false;
    if (info.isDir() && !info.isSymLink()) return false;

    ensureHomeTrash();
    QString inTrash;
    if (!QFile::moveToTrash(name, &inTrash)) return false;
    const QFileInfo landed(inTrash);
    if (landed.isAbsolute() && (landed.exists() || landed.isSymLink())) return true;
    // It went somewhere no trash tool would find it: put it back and report the failure.
    QFile::rename(inTrash, name);
    return false;
}

}  // namespace vsr::platform
