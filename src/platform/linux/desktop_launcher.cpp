#include "platform/linux/desktop_launcher.h"

#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QUrl>

#include "platform/detached_process.h"

namespace vsr::platform {

namespace {

QString decoded(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

// Whether the name survives the trip through a QString; bytes that are not UTF-8 don't.
bool fitsQString(const std::string& bytes) {
    return QFile::encodeName(decoded(bytes)).toStdString() == bytes;
}

}  // namespace

bool DesktopLauncher::openFile(const std::string& path) {
    if (fitsQString(path) && qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
        QDesktopServices::openUrl(QUrl::fromLocalFile(decoded(path))))
        return true;
    // Without a window system (a command-line run), or for a name Qt can't hold, the desktop's
    // opener gets the name as its bytes.
    return startDetachedProcess("xdg-open", {path}, {});
}

bool DesktopLauncher::startProgram(const std::string& program, const std::vector<std::string>& arguments,
                                   const std::string& folder) {
    return startDetachedProcess(program, arguments, folder);
}

}  // namespace vsr::platform
