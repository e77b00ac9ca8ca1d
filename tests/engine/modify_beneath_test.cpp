// A modification writes only the files its search read, beneath the searched folder: a folder or
// file swapped for a link (or a copy) after the search, or a link in the tree to a file outside
// it, never leads a write anywhere else.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <numeric>

#include "engine/modify/modify_driver.h"
#include "modify_fixture.h"
#include "engine/search/recording_host.h"
#include "engine/search/search_driver.h"
#include "platform/attribute_changer.h"
#include "platform/clock.h"
#include "durable/file_store.h"
#include "platform/locale_formats.h"
#include "platform/posix_file_system.h"
#include "platform/type_names.h"
#include "support/temp_dir.h"

namespace vsr::engine {
namespace {

namespace fs = std::filesystem;
using vsr::test::readFile;

// The disk, where someone changes the tree once, right after the run staged its first rewrite.
struct ChangingDisk : durable::PosixFileStore {
    std::function<void()> afterFirst;
    durable::RewriteBatch::Staged stageRewrite(const durable::RewriteRequest& r, std::size_t tag) override {
        const auto staged = PosixFileStore::stageRewrite(r, tag);
        if (afterFirst) std::exchange(afterFirst, {})();
        return staged;
    }
};

// R is searched; O lies beside it, outside.
struct Tree {
    vsr::test::TempDir dir;
    platform::PosixFileSystem files;
    platform::SteadyClock clock;
    platform::FakeLocaleFormats formats;
    platform::FakeTypeNames types;
    RecordingHost host;
    ChangingDisk disk;
    platform::PosixAttributeChanger attributes;
    SearchConditions c;
    std::unique_ptr<ModifyDriver> modify;
    std::vector<std::string> proposed;  // the rows a dry run would rewrite

    Tree() {
        c = formConditions(root());
        c.tab = Tab::SearchAndReplace;
        c.masks = "*.txt";
        c.searchText = "needle";
        c.replaceText = "needle2";
        c.modificationType = ModificationType::Replace;
        c.createBackups = true;
    }
    std::string root() const { return (dir.path() / "R").string(); }
    fs::path at(const std::string& relative) const { return dir.path() / relative; }

    // Searches, sorts the rows by full name and modifies them all; "name: Result (why)" per row,
    // names relative to R.
    std::vector<std::string> run(int threads, bool dryRun = false) {
        SearchDriver search({files, clock, formats, types}, host);
        search.FindButtonClick(c);
        std::vector<std::size_t> order(host.list.count());
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(),
                  [&](auto a, auto b) { return host.list.row(a).fullName() < host.list.row(b).fullName(); });
        host.list.reorder(order);
        modify = std::make_unique<ModifyDriver>(ModifyEnv{disk, attributes, clock}, host);
        modify->setThreads(threads);
        if (dryRun)
            modify->setDryRun([&](std::size_t row, std::string&) { proposed.push_back(host.list.row(row).name); });
        ModifyOptions o;
        o.separator = LineSeparator::Unix;
        modify->Modify(ModifyScope::All, c, o);
        return rows();
    }
    std::vector<std::string> rows() const {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < host.list.count(); ++i) {
            const std::string why = modify->failureOf(i);
            out.push_back(host.list.row(i).fullName().substr(root().size() + 1) + ": " + host.list.row(i).result +
                          (why.empty() ? "" : " (" + why + ")"));
        }
        return out;
    }
};

constexpr const char* kLinkOnWay =
    "Failed Modification (a folder on its way from the searched folder is a symbolic link now, and a "
    "modification follows none)";
constexpr const char* kNotRead = "Failed Modification (it is no longer the file the search read)";

TEST(ModifyBeneath, ATreeChangedAfterTheSearchIsNeverWrittenOutsideOrThroughANewFile) {
    struct Case {
        const char* what;
        std::function<void(Tree&)> change;
        std::vector<std::string> rows;
    };
    const std::vector<Case> cases = {
        {"folder swapped for a link out",
         [](Tree& t) {
             fs::rename(t.at("R/d1"), t.at("R/d1.real"));
             fs::create_directory_symlink(t.at("O/swap"), t.at("R/d1"));
         },
         {"a0.txt: Modified", std::string("d1/a.txt: ") + kLinkOnWay, std::string("d1/b.txt: ") + kLinkOnWay,
          "z.txt: Modified"}},
        {"folder swapped for a copy",
         [](Tree& t) {
             fs::rename(t.at("R/d1"), t.at("R/d1.real"));
             fs::copy(t.at("R/d1.real"), t.at("R/d1"));
         },
         {"a0.txt: Modified", std::string("d1/a.txt: ") + kNotRead, std::string("d1/b.txt: ") + kNotRead,
          "z.txt: Modified"}},
        {"last file swapped for a link out",
         [](Tree& t) {
             fs::remove(t.at("R/z.txt"));
             fs::create_symlink(t.at("O/outside.txt"), t.at("R/z.txt"));
         },
         {"a0.txt: Modified", "d1/a.txt: Modified", "d1/b.txt: Modified",
          "z.txt: Failed Modification (it is a symbolic link to {outside}, which lies outside the searched "
          "folder)"}},
        {"last file swapped for a link to a file inside",
         [](Tree& t) {
             fs::remove(t.at("R/z.txt"));
             fs::create_symlink("other.dat", t.at("R/z.txt"));
         },
         {"a0.txt: Modified", "d1/a.txt: Modified", "d1/b.txt: Modified", std::string("z.txt: ") + kNotRead}},
    };
    for (const int threads : {1, 3}) {
        for (const Case& k : cases) {
            SCOPED_TRACE(std::string(k.what) + ", threads " + std::to_string(threads));
            Tree t;
            for (const char* name : {"R/a0.txt", "R/d1/a.txt", "R/d1/b.txt", "R/z.txt", "R/other.dat",
                                     "O/swap/a.txt", "O/swap/b.txt", "O/outside.txt"})
                t.dir.write(name, "needle\n");
            t.disk.afterFirst = [&] { k.change(t); };
            const std::vector<std::string> rows = t.run(threads);
            // Workers may have reached a folder before it was swapped: its files are then the
            // ones the search read, and are modified where they now lie, or refused when the
            // write finds its name taken since.
            std::vector<std::string> expected = k.rows;
            const std::string outside = fs::canonical(t.at("O/outside.txt")).string();
            for (std::string& e : expected)
                if (auto at = e.find("{outside}"); at != std::string::npos) e.replace(at, 9, outside);
            if (threads == 1) {
                EXPECT_EQ(rows, expected);
            } else {
                ASSERT_EQ(rows.size(), expected.size());
                for (std::size_t i = 0; i < rows.size(); ++i) {
                    const std::string name = rows[i].substr(0, rows[i].find(':'));
                    if (rows[i] != expected[i] && rows[i] != name + ": Modified") {
                        EXPECT_EQ(rows[i].rfind(name + ": Failed Modification (", 0), 0u) << rows[i];
                    }
                }
            }
            for (const char* name : {"O/swap/a.txt", "O/swap/b.txt", "O/outside.txt", "R/other.dat"}) {
                EXPECT_EQ(readFile(t.at(name)), "needle\n") << name;
                EXPECT_FALSE(fs::exists(t.at(std::string(name) + ".bak"))) << name;
            }
            // What the search read and the run refused is as it was.
            if (fs::exists(t.at("R/d1.real")) && threads == 1) {
                for (const char* name : {"R/d1.real/a.txt", "R/d1.real/b.txt"}) EXPECT_EQ(readFile(t.at(name)), "needle\n");
            }
        }
    }
}

TEST(ModifyBeneath, ALinkInTheTreeRewritesItsTargetOnlyWhenTheTargetLiesBeneathTheSearchedFolder) {
    for (const auto& [threads, dryRun] : {std::pair{1, false}, std::pair{3, false}, std::pair{1, true}}) {
        SCOPED_TRACE(std::to_string(threads) + (dryRun ? ", dry run" : ""));
        Tree t;
        t.dir.write("O/outside.txt", "needle\n");
        t.dir.write("R/d1/a.txt", "needle\n");
        fs::create_symlink(t.at("O/outside.txt"), t.at("R/notes.txt"));     // as a cloned repository can carry
        fs::create_symlink("d1/a.txt", t.at("R/in.txt"));                   // the same file as d1/a.txt
        fs::create_symlink("../O", t.at("R/out"));                          // a folder link, never walked
        fs::create_symlink("out/outside.txt", t.at("R/chain.txt"));         // through it, out again
        fs::create_symlink(t.at("R/d1/a.txt"), t.at("R/d1/back.txt"));      // absolute, but inside
        const std::string outside = fs::canonical(t.at("O/outside.txt")).string();
        const std::string outsideWhy =
            "Failed Modification (it is a symbolic link to " + outside + ", which lies outside the searched folder)";
        EXPECT_EQ(t.run(threads, dryRun), (std::vector<std::string>{"chain.txt: " + outsideWhy, "d1/a.txt: Modified",
                                                                    "d1/back.txt: Modified", "in.txt: Modified",
                                                                    "notes.txt: " + outsideWhy}));
        // Rewritten once for its three names; the links stay links. A dry run proposes that alone.
        EXPECT_EQ(t.proposed, dryRun ? std::vector<std::string>{"a.txt"} : std::vector<std::string>{});
        EXPECT_EQ(readFile(t.at("R/d1/a.txt")), dryRun ? "needle\n" : "needle2\n");
        EXPECT_EQ(readFile(t.at("O/outside.txt")), "needle\n");
        for (const char* link : {"R/notes.txt", "R/in.txt", "R/chain.txt", "R/d1/back.txt"})
            EXPECT_TRUE(fs::is_symlink(t.at(link))) << link;
        EXPECT_FALSE(fs::exists(t.at("R/notes.txt.bak")));
        EXPECT_FALSE(fs::exists(t.at("O/outside.txt.bak")));
    }
}

// The files are reached from the folder as the search took it (blanks around it and a closing
// "/" dropped); a search in the listed files may have listed them anywhere.
TEST(ModifyBeneath, TheSearchedFolderIsTheOneTheSearchWalked) {
    test::ModifyFixture f;
    f.phrase("a", "b");
    const std::size_t row = f.add("d/x.txt", "a\n");
    vsr::test::TempDir elsewhere;
    struct Case {
        std::string path;
        bool inResults;
        const char* result;
    };
    for (const Case& k : {Case{"  " + f.dir.str() + "/  ", false, "Modified"}, Case{elsewhere.str(), true, "Modified"},
                          Case{elsewhere.str(), false, "Failed Modification"}}) {
        SCOPED_TRACE(k.path);
        f.dir.write("d/x.txt", "a\n");
        f.c.path = k.path;
        f.c.searchInResults = k.inResults;
        f.modifyAll();
        EXPECT_EQ(f.result(row), k.result);
        EXPECT_EQ(f.read("d/x.txt"), k.result == std::string("Modified") ? "b\n" : "a\n");
    }
    EXPECT_EQ(f.driver.failureOf(row), "it does not lie in the searched folder");
}

// Undo puts the backups back through the same folders: a folder swapped for a link to where
// someone left a file and a ".bak" of the same names leads no backup over that file.
TEST(ModifyBeneath, UndoAfterAFolderWasSwappedForALinkTouchesNothingOutside) {
    Tree t;
    for (const char* name : {"R/a0.txt", "R/d1/a.txt", "R/z.txt"}) t.dir.write(name, "needle\n");
    t.dir.write("O/swap/a.txt", "theirs\n");
    t.dir.write("O/swap/a.txt.bak", "planted\n");
    EXPECT_EQ(t.run(1), (std::vector<std::string>{"a0.txt: Modified", "d1/a.txt: Modified", "z.txt: Modified"}));
    fs::rename(t.at("R/d1"), t.at("R/d1.real"));
    fs::create_directory_symlink(t.at("O/swap"), t.at("R/d1"));
    t.modify->UndoReplaceBitClick();
    EXPECT_EQ(t.rows(), (std::vector<std::string>{"a0.txt: Undid", "d1/a.txt: Failed Undo", "z.txt: Undid"}));
    EXPECT_EQ(readFile(t.at("O/swap/a.txt")), "theirs\n");
    EXPECT_EQ(readFile(t.at("O/swap/a.txt.bak")), "planted\n");
    EXPECT_EQ(readFile(t.at("R/d1.real/a.txt")), "needle2\n");
    EXPECT_EQ(readFile(t.at("R/d1.real/a.txt.bak")), "needle\n");
    EXPECT_EQ(readFile(t.at("R/a0.txt")), "needle\n");
}

}  // namespace
}  // namespace vsr::engine
