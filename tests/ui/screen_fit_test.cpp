// Stored sizes and positions come back on the screen, whatever the store holds.
#include "project/batch_table.h"
#include "settings/key_paths.h"
#include "ui/dialogs/batch_dialog.h"
#include "ui/lines/lines_viewer.h"
#include "ui/commands/project_commands.h"
#include "ui/widgets/screen_fit.h"
#include "window_fixture.h"

#include <QHeaderView>

namespace vsr::ui::test {
namespace {

TEST(ScreenFit, SizesShrinkToTheAreaAndPositionsMoveIntoIt) {
    const QRect area(100, 50, 800, 500);
    struct Case {
        const char* name;
        QPoint at;
        QSize size, minimum;
        QRect fitted;
    };
    const int huge = 2000000000;
    const Case cases[] = {
        {"inside stays", {200, 100}, {300, 200}, {0, 0}, {200, 100, 300, 200}},
        {"too large", {0, 0}, {huge, huge}, {0, 0}, {100, 50, 800, 500}},
        {"past the far edges", {850, 500}, {300, 200}, {0, 0}, {600, 350, 300, 200}},
        {"before the near edges", {-huge, -huge}, {300, 200}, {0, 0}, {100, 50, 300, 200}},
        {"far out and large", {huge, huge}, {huge, huge}, {0, 0}, {100, 50, 800, 500}},
        {"the minimum wins", {300, 100}, {huge, 100}, {1000, 300}, {100, 100, 1000, 300}},
        {"nothing left", {300, 100}, {0, -5}, {0, 0}, {300, 100, 1, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fitToScreen(c.at, c.size, area, c.minimum), c.fitted) << c.name;
}

class StoredGeometry : public WindowTest {
protected:
    void storeHuge() {
        const char* huge = "2000000000";
        for (const char* name : {"FindWidth", "FindHeight", "FindListViewHeight", "FindLeft", "FindTop", "ColumnName"})
            store.put(settings::kOptionsKey, name, huge);
    }
    std::string stored(const char* name) {
        const auto& values = store.committed();
        const auto it = values.find(platform::MemorySettingsStore::fullName(settings::kOptionsKey, name));
        return it == values.end() ? std::string() : it->second;
    }
    static QRect area() { return QGuiApplication::primaryScreen()->availableGeometry(); }
};

TEST_F(StoredGeometry, TheWindowComesBackOnTheScreenAndIsStoredSo) {
    storeHuge();
    files.write("a.txt", "alpha\n");
    {
        auto w = makeWindow(96, true);
        EXPECT_TRUE(area().contains(w->frameGeometry()));
        // The list, once shown, fits too, and leaves the Lines Viewer room below it.
        control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("alpha"));
        search(*w, files.str());
        EXPECT_TRUE(area().contains(w->frameGeometry()));
        EXPECT_GT(control<LinesViewer>(w, "ListBox1")->height(), 0);
        EXPECT_LE(control<QTreeView>(w, "ListView1")->header()->sectionSize(0), area().width());
        w->close();
    }
    for (const char* name : {"FindWidth", "FindHeight", "FindLeft", "FindTop", "FindListViewHeight", "ColumnName"}) {
        const int value = std::stoi(stored(name));
        EXPECT_LE(value, std::max(area().width(), area().height())) << name;
        EXPECT_GE(value, 0) << name;
    }
}

TEST_F(StoredGeometry, TheBatchDialogFitsTheScreenAndKeepsTheSizeItHas) {
    auto w = makeWindow();
    TBatchDlg& d = w->findChild<ProjectCommands*>()->batchDialog();
    project::BatchTable t;
    t.dialogWidth = t.dialogHeight = 2000000000;
    t.searchColumnWidth = t.replaceColumnWidth = 2000000000;
    d.setTable(t);
    d.show();
    EXPECT_LE(d.frameGeometry().width(), area().width());
    EXPECT_LE(d.frameGeometry().height(), area().height());
    EXPECT_LE(d.table().dialogWidth, area().width());
    EXPECT_LE(d.table().dialogHeight, area().height());
    EXPECT_LE(d.table().searchColumnWidth, area().width());
    EXPECT_LE(d.table().replaceColumnWidth, area().width());
    EXPECT_GE(d.width(), d.minimumWidth());
    d.reject();
}

}  // namespace
}  // namespace vsr::ui::test
