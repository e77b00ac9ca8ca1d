#include "platform/linux/path_default_editor.h"

#include <QFile>
#include <QStandardPaths>
#include <QStringList>

namespace vsr::platform {

PathDefaultEditor::PathDefaultEditor() = default;

PathDefaultEditor::PathDefaultEditor(std::vector<std::string> searchFolders)
    : folders_(std::move(searchFolders)), usePath_(false) {}

const std::vector<std::string>& PathDefaultEditor::candidates() {
    // Editors that open a file given as their argument in a window of their own.
    static const std::vector<std::string> names = {"gnome-text-editor", "gedit", "kate", "kwrite", "mousepad",
                                                   "pluma", "xed", "featherpad", "geany", "leafpad"};
    return names;
}

std::string PathDefaultEditor::program() const {
    QStringList folders;
    for (const std::string& f : folders_) folders << QFile::decodeName(QByteArray::fromStdString(f));
    auto find = [&](const std::string& name) {
        const QString exe = QString::fromStdString(name);
        return usePath_ ? QStandardPaths::findExecutable(exe) : QStandardPaths::findExecutable(exe, folders);
    };
    for (const std::string& name : candidates())
        if (QString found = find(name); !found.isEmpty()) return QFile::encodeName(found).toStdString();
    if (QString opener = find("xdg-open"); !opener.isEmpty()) return QFile::encodeName(opener).toStdString();
    return "/usr/bin/xdg-open";
}

}  // namespace vsr::platform
