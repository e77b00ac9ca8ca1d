#include "engine/backup/backup_plan.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace vsr::engine {
namespace {

namespace fs = std::filesystem;

// A row's backup lies beside the name the row lists, so a link's backup is the link's own
// "NAME.bak" and never lands beside its target; with backups on, a row whose folder can't be
// reached beneath the searched one is not to be rewritten at all.
TEST(BackupPlan, TheBackupLiesBesideTheRowsOwnNameOrTheRewriteIsRefused) {
    test::TempDir t;
    t.write("R/d1/a.txt", "x");
    t.write("O/b.txt", "x");
    fs::create_symlink("d1/a.txt", t.path() / "R/in.txt");
    const std::string root = t.str() + "/R";
    const platform::SearchedTree tree(root);
    const platform::SearchedTree elsewhere(t.str() + "/O");
    struct Case {
        std::string row;    // the listed name
        const platform::SearchedTree* tree;
        bool backups;
        bool planned;
        std::string placedAt;  // where the backup lies; empty: nowhere
    };
    const Case cases[] = {
        {"d1/a.txt", &tree, true, true, root + "/d1/a.txt.bak"},
        {"in.txt", &tree, true, true, root + "/in.txt.bak"},
        {"in.txt", &tree, false, true, root + "/in.txt.bak"},
        // The link's target was placed, but the link's own folder is out of the tree it is
        // looked for in.
        {"in.txt", &elsewhere, true, false, ""},
        {"in.txt", &elsewhere, false, true, ""},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.row + (k.backups ? " with backups" : " without"));
        const std::string path = root + "/" + k.row;
        std::string why;
        const std::optional<platform::FilePlace> place = tree.place(path, why);
        ASSERT_TRUE(place) << why;
        const std::string rowFolder = fs::path(path).parent_path().string();
        const std::optional<BackupPlan> plan = planBackup(k.backups, path, rowFolder, place, k.tree, why);
        ASSERT_EQ(plan.has_value(), k.planned);
        if (!plan) {
            EXPECT_FALSE(why.empty());
            continue;
        }
        EXPECT_EQ(plan->make, k.backups);
        EXPECT_EQ(plan->path, path + ".bak");
        EXPECT_EQ(plan->place ? plan->place.path() : std::string(), k.placedAt);
    }
    // A run that does not reach files beneath a folder names the backup and places nothing.
    std::string why;
    const std::optional<BackupPlan> plain = planBackup(true, root + "/in.txt", root, std::nullopt, nullptr, why);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->path, root + "/in.txt.bak");
    EXPECT_FALSE(plain->place);
}

}  // namespace
}  // namespace vsr::engine
