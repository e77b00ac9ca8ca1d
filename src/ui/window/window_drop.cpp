#include "ui/window/window_drop.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "ui/window/find_window.h"
#include "ui/commands/project_commands.h"

namespace vsr::ui {

DropTarget dropTargetOf(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
    const QString local = urls.front().toLocalFile();
    const QFileInfo info(local);
    std::string path = QFile::encodeName(local).toStdString();
    if (info.isDir()) {
        while (path.size() > 1 && path.back() == '/') path.pop_back();
        return {DropTarget::Kind::Folder, path};
    }
    if (info.isFile() && info.suffix().compare(QLatin1String("vsr"), Qt::CaseInsensitive) == 0)
        return {DropTarget::Kind::Project, path};
    return {};
}

WindowDrop::WindowDrop(TFind& window, ProjectCommands& projects) : QObject(&window), w_(window), projects_(projects) {
    setObjectName(QStringLiteral("WindowDrop"));
    // Without a control that takes drops under the mouse, the window itself must, or the
    // drag never reaches the filter.
    w_.setAcceptDrops(true);
    qApp->installEventFilter(this);
}

WindowDrop::~WindowDrop() { qApp->removeEventFilter(this); }

DropTarget WindowDrop::targetNow(const QMimeData* data) const {
    // A run owns the controls until it ends; so does a modal dialog of the window.
    if (w_.state().busy || QApplication::activeModalWidget()) return {};
    DropTarget target = dropTargetOf(data);
    // The Path is fixed while a search within the results reads the listed files.
    if (target.kind == DropTarget::Kind::Folder && !w_.ComboBoxPath->isEnabled()) return {};
    return target;
}

bool WindowDrop::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != &w_) return false;
    auto* dropEvent = static_cast<QDropEvent*>(event);
    const QMimeData* data = dropEvent->mimeData();
    const DropTarget target = targetNow(data);
    if (target.kind == DropTarget::Kind::None) {
        // Files and addresses the window can't use are refused, not typed into the field under
        // the mouse as an address; a plain text still goes to its field.
        if (!data || !data->hasUrls()) return false;
        dropEvent->ignore();
        return true;
    }
    // Taken as a copy (or a link), never as a move: a file manager removes what it moved.
    const Qt::DropActions offered = dropEvent->possibleActions();
    const Qt::DropAction action = offered & Qt::CopyAction   ? Qt::CopyAction
                                  : offered & Qt::LinkAction ? Qt::LinkAction
                                                             : Qt::IgnoreAction;
    if (action == Qt::IgnoreAction) {
        dropEvent->ignore();
        return true;
    }
    dropEvent->setDropAction(action);
    dropEvent->accept();
    if (type == QEvent::Drop) drop(target);
    return true;
}

void WindowDrop::drop(const DropTarget& target) {
    if (target.kind == DropTarget::Kind::Folder) {
        w_.setComboText(w_.ComboBoxPath, target.path);
        w_.activateWindow();
        return;
    }
    // The project's questions and messages are modal; the file manager that sent the drop
    // waits for the drop to finish first.
    const std::string path = target.path;
    QTimer::singleShot(0, &projects_, [this, path] {
        w_.activateWindow();
        projects_.openProjectFile(path);
    });
}

}  // namespace vsr::ui
