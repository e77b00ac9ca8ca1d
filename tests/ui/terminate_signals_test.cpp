// SIGTERM and SIGINT end the program through a normal close, so the settings are saved.
#include <csignal>

#include "ui/terminate_signals.h"
#include "window_fixture.h"

namespace vsr::ui::test {
namespace {

TEST_F(WindowTest, TerminateSignalsCloseTheWindowAndSaveTheSettings) {
    for (int sig : {SIGTERM, SIGINT}) {
        auto w = makeWindow(96, true);
        w->MasksComboBox->setEditText(QStringLiteral("*.sig%1").arg(sig));
        TerminateSignals terminate([&] { w->close(); });
        ASSERT_TRUE(terminate.installed());
        const int commits = store.commitCount();
        ::raise(sig);
        QTRY_VERIFY(!w->isVisible());
        EXPECT_GT(store.commitCount(), commits);
        EXPECT_EQ(store.readString("Software\\Vantix Search & Replace", "MasksComboBoxText"),
                  "*.sig" + std::to_string(sig));
    }
}

}  // namespace
}  // namespace vsr::ui::test
