// SIGTERM and SIGINT end the program through a normal close, so the settings are saved.
#include <csignal>

#include "ui/dialogs/file_ignore_dialog.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/settings_dialog_set.h"
#include "ui/window/terminate_signals.h"
#include "window_fixture.h"

namespace vsr::ui::test {
namespace {

TEST_F(WindowTest, TerminateSignalsCloseTheWindowAndSaveTheSettings) {
    for (int sig : {SIGTERM, SIGINT}) {
        auto w = makeWindow(96, true);
        control<QComboBox>(w, "MasksComboBox")->setEditText(QStringLiteral("*.sig%1").arg(sig));
        TerminateSignals terminate([&] { w->close(); });
        ASSERT_TRUE(terminate.installed());
        const int commits = store.commitCount();
        ::raise(sig);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !w->isVisible(); }));
        EXPECT_GT(store.commitCount(), commits);
        EXPECT_EQ(store.readString("Software\\Vantix Search & Replace", "MasksComboBoxText"),
                  "*.sig" + std::to_string(sig));
    }
}

// Shows `dialog` modally, lets `edit` change its controls without OK, and sends SIGTERM while
// it is still open; the dialog is closed once the window has gone.
void terminateDuring(QDialog& dialog, TFind& w, const std::function<void()>& edit) {
    QTimer::singleShot(0, &dialog, [&] {
        edit();
        ::raise(SIGTERM);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }));
        dialog.reject();
    });
    dialog.exec();
}

TEST_F(WindowTest, ATerminateSignalSavesWhatTheOpenDialogsLastAccepted) {
    auto w = makeWindow(96, true);
    TerminateSignals terminate([&] { w->close(); });
    TSettDlg& settingsDlg = w->settingsDialogs().settings();
    TFileIgnoreDlg& filesDlg = w->settingsDialogs().fileIgnore();
    // What OK accepted before.
    filesDlg.show();
    filesDlg.FilesMemo->setPlainText(QStringLiteral("*.o"));
    filesDlg.accept();
    settingsDlg.show();
    settingsDlg.EditorEdit->setText(QStringLiteral("kept \"%PrFullName%\""));
    settingsDlg.accept();

    terminateDuring(settingsDlg, *w, [&] {
        settingsDlg.MacXPRadioButton->click();
        settingsDlg.ReadOnly->click();
        settingsDlg.EditorEdit->setText(QStringLiteral("unconfirmed"));
        // The file list opened from the open settings dialog and left without OK as well.
        filesDlg.show();
        filesDlg.FilesMemo->setPlainText(QStringLiteral("*.unconfirmed"));
    });
    filesDlg.reject();
    ASSERT_FALSE(w->isVisible());

    settings::StoredSettings saved;
    storage->LoadSettings(saved, true);
    EXPECT_EQ(saved.dialog.editorA, "kept \"%PrFullName%\"");
    EXPECT_TRUE(saved.dialog.unXPRadioButton);
    EXPECT_FALSE(saved.dialog.macXPRadioButton);
    EXPECT_FALSE(saved.dialog.readOnly);
    EXPECT_EQ(saved.dialog.fileIgnoreList, "*.o");
}

}  // namespace
}  // namespace vsr::ui::test
