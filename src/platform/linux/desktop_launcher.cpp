#include "platform/linux/desktop_launcher.h"

#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace vsr::platform {

namespace {
QString decoded(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }
}  // namespace

bool DesktopLauncher::openFile(const std::string& path) {
    const QString name = decoded(path);
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
        QDesktopServices::openUrl(QUrl::fromLocalFile(name)))
        return true;
    // Without a window system (a command-line run) the desktop's opener still works.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    return !opener.isEmpty() && QProcess::startDetached(opener, {name});
}

bool DesktopLauncher::startProgram(const std::string& program, const std::vector<std::string>& arguments,
                                   const std::string& folder) {
    QStringList list;
    for (const std::string& a : arguments) list << decoded(a);
    return QProcess::startDetached(decoded(program), list, decoded(folder));
}

}  // namespace vsr::platform
