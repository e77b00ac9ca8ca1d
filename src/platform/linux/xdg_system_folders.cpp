#include "platform/linux/xdg_system_folders.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <filesystem>

namespace vsr::platform {

namespace {

std::string bytesOf(const QString& path) { return QFile::encodeName(path).toStdString(); }

// A trailing "/" is dropped, except from the root folder itself.
std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

XdgSystemFolders::XdgSystemFolders() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/Vantix Search & Replace");
    // A folder that can't be made is no reason to stop: the memo files are then skipped.
    QDir().mkpath(data);
    data_ = withoutTrailingSlash(bytesOf(data));

    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    program_ = ec ? std::string(".") : withoutTrailingSlash(exe.parent_path().string());

    home_ = withoutTrailingSlash(bytesOf(QDir::homePath()));
}

}  // namespace vsr::platform
