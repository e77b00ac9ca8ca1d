// The program: the application object, the desktop services and the main window.
#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include "platform/linux/mime_type_names.h"
#include "platform/linux/path_default_editor.h"
#include "platform/linux/qt_locale_formats.h"
#include "platform/linux/qt_settings_store.h"
#include "platform/linux/xdg_system_folders.h"
#include "platform/recovery_journal.h"
#include "settings/settings_storage.h"
#include "ui/app_info.h"
#include "ui/find_window.h"
#include "ui/terminate_signals.h"
#include "ui/window_environment.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(vsr::ui::kProgramTitle));
    QApplication::setApplicationVersion(QString::fromUtf8(vsr::ui::kProgramVersion));
    QApplication::setDesktopFileName(QStringLiteral("vantixsr"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vantixsr.png")));

    // Files a killed run left half rewritten are put back before anything reads them.
    const vsr::platform::RecoveryReport recovered = vsr::platform::recoverInterruptedWrites();

    vsr::platform::XdgSystemFolders folders;
    vsr::platform::QtSettingsStore store;
    vsr::platform::QtLocaleFormats formats;
    vsr::platform::MimeTypeNames typeNames;
    vsr::platform::PathDefaultEditor editor;
    vsr::settings::SettingsStorage storage(
        store, folders.dataFolder(), vsr::ui::windowEnvironment(folders.homeFolder(), editor.program(), &formats));

    vsr::ui::WindowServices services;
    services.settings = &storage;
    services.formats = &formats;
    services.typeNames = &typeNames;
    services.homeFolder = folders.homeFolder();
    vsr::ui::TFind window(services);

    // SIGTERM and SIGINT close the window the normal way, so the settings are saved.
    vsr::ui::TerminateSignals terminate([&window] { window.close(); });

    if (window.state().maximizedAtStart) window.showMaximized();
    else window.show();
    if (!recovered.empty())
        QMessageBox::warning(&window, QString::fromUtf8(vsr::ui::kProgramTitle),
                             QString::fromUtf8(vsr::platform::recoveryMessage(recovered)));
    return app.exec();
}
