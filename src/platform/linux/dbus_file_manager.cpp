#include "platform/linux/dbus_file_manager.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

#include "platform/file_system.h"
#include "platform/file_uri.h"

namespace vsr::platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.FileManager1");

bool fileManagerAvailable(const QDBusConnection& bus) {
    if (!bus.isConnected() || !bus.interface()) return false;
    if (bus.interface()->isServiceRegistered(kService)) return true;
    const QDBusReply<QStringList> activatable = bus.interface()->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(kService);
}

}  // namespace

bool DbusFileManager::showItem(const std::string& path) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (fileManagerAvailable(bus)) {
        QDBusMessage call = QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/FileManager1"),
                                                           kService, QStringLiteral("ShowItems"));
        // Escaped from the bytes, so a name that is not UTF-8 reaches the file manager as it is.
        call << QStringList{QString::fromStdString(fileUri(path))} << QString();
        // A file manager that has to start first may take a moment, but never long.
        const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
        if (reply.type() == QDBusMessage::ReplyMessage) return true;
    }
    return fallback_.openFile(parentPath(path));
}

}  // namespace vsr::platform
