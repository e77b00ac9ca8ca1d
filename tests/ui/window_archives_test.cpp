// The Find tab's "Search in archives and documents": off at first, members listed under paths
// that run through their archive once it is on, the choice kept across a restart.
#include <cstdlib>
#include <set>

#include "window_fixture.h"

namespace vsr::ui::test {
namespace {

std::set<std::string> listedPaths(TFind& w) {
    std::set<std::string> paths;
    for (std::size_t i = 0; i < w.results().count(); ++i) {
        const results::ResultItem& row = w.results().row(i);
        paths.insert(row.path + "/" + row.name + " " + row.found);
    }
    return paths;
}

TEST_F(WindowTest, ArchivesAreSearchedOnlyWhenAskedAndTheChoiceIsKept) {
    files.write("loose.txt", "needle\n");
    const std::string script = "import tarfile, io\n"
                               "t = tarfile.open('" + files.str() + "/pack.tar.gz', 'w:gz')\n"
                               "data = b'needle and needle\\nnothing\\n'\n"
                               "info = tarfile.TarInfo('src/inner.txt'); info.size = len(data)\n"
                               "t.addfile(info, io.BytesIO(data)); t.close()\n";
    files.write("make.py", script);
    ASSERT_EQ(std::system(("python3 '" + files.str() + "/make.py'").c_str()), 0);
    const std::string loose = files.str() + "/loose.txt 1";
    const std::string member = files.str() + "/pack.tar.gz/src/inner.txt 2";
    {
        auto w = makeWindow(96, true);
        QCheckBox* archives = control<QCheckBox>(w, "ArchivesCheckBox");
        EXPECT_FALSE(archives->isChecked());
        EXPECT_TRUE(archives->isVisible());
        // The mask applies to the members' own names (and leaves out the script that made the archive).
        control<QComboBox>(w, "MasksComboBox")->setEditText(QStringLiteral("*.txt"));
        control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("needle"));
        search(*w, files.str());
        EXPECT_EQ(listedPaths(*w), std::set<std::string>{loose});
        archives->click();
        search(*w, files.str());
        EXPECT_EQ(listedPaths(*w), (std::set<std::string>{loose, member}));
        EXPECT_TRUE(archives->isEnabled());
        // The check box belongs to the Find tab: the Search and Replace tab does not show it.
        control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
        EXPECT_FALSE(archives->isVisible());
        w->close();
    }
    auto w = makeWindow(96, true);
    EXPECT_TRUE(control<QCheckBox>(w, "ArchivesCheckBox")->isChecked());
}

}  // namespace
}  // namespace vsr::ui::test
