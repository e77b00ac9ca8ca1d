// Modification with files read and modified ahead on worker threads: the disk, the rows, the
// messages and the refills come out exactly as a single-threaded run leaves them.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "modify_fixture.h"

namespace vsr::engine::test {
namespace {

struct ThreadsOutcome {
    std::vector<std::string> files;    // every listed file's bytes afterwards ("<missing>" if gone)
    std::vector<std::string> results;  // the Result column
    std::vector<std::string> messages;
    std::vector<std::size_t> fills;
    bool operator==(const ThreadsOutcome&) const = default;
};

// One random tree: written into `f` by the same seed every time.
struct ThreadsCase {
    unsigned seed;

    void build(ModifyFixture& f) const {
        std::mt19937 rng(seed);
        const char* lines[] = {"alpha beta", "x alpha", "beta", "", "alpha alpha", "gamma\talpha", "beta alpha beta"};
        const char* ends[] = {"\n", "\r\n", "\r"};
        const int type = static_cast<int>(rng() % 3);
        if (type == 0) f.phrase("alpha", rng() % 4 == 0 ? "" : "omega!");
        if (type == 1) f.regex({rng() % 2 ? "(al)pha" : "a(l+)p"}, {"<\\1>"});
        if (type == 2) f.block({"beta"}, {"one", "two"});
        const ModificationType types[] = {ModificationType::Replace, ModificationType::InsertBefore,
                                          ModificationType::InsertAfter, ModificationType::Clear,
                                          ModificationType::Delete};
        f.c.modificationType = types[rng() % 5];
        f.c.createBackups = rng() % 2 == 0;
        f.options.separator = rng() % 2 ? LineSeparator::Unix : LineSeparator::Windows;
        const int count = 2 + static_cast<int>(rng() % 30);
        for (int i = 0; i < count; ++i) {
            const std::string name = "f" + std::to_string(i) + ".txt";
            std::string bytes;
            const int n = static_cast<int>(rng() % 12);
            for (int k = 0; k < n; ++k) bytes += std::string(lines[rng() % 7]) + ends[rng() % 3];
            if (rng() % 6 == 0) bytes += std::string("alpha\0alpha\n", 12);
            if (rng() % 5 == 0 && !bytes.empty()) bytes.pop_back();
            const std::size_t row = f.add(name, bytes);
            const int special = static_cast<int>(rng() % 12);
            if (special == 0) ::chmod(f.path(name).c_str(), 0444);  // refused unless cleared (or root)
            if (special == 1) std::filesystem::remove(f.path(name));  // vanished since the search
            if (special == 2 && i > 0 && f.exists("f0.txt")) {
                // Another name of an earlier file: modified once, under the first name.
                std::filesystem::remove(f.path(name));
                std::filesystem::create_hard_link(f.path("f0.txt"), f.path(name));
            }
            if (special == 3) f.host.list.setSelected(row, true);
        }
    }

    ThreadsOutcome run(int threads, ModifyScope scope = ModifyScope::All) const {
        ModifyFixture f;
        build(f);
        f.driver.setThreads(threads);
        f.driver.Modify(scope, f.c, f.options);
        ThreadsOutcome o;
        for (std::size_t i = 0; i < f.host.list.count(); ++i) {
            const std::string name = f.host.list.row(i).name;
            o.files.push_back(f.exists(name) ? f.read(name) : "<missing>");
            o.results.push_back(f.result(i));
        }
        o.messages = f.messages();
        o.fills = f.views.fills;
        return o;
    }
};

TEST(ModifyThreads, RandomTreesComeOutAsASingleThreadLeavesThem) {
    for (unsigned seed = 1; seed <= 30; ++seed) {
        const ThreadsCase c{seed};
        const ModifyScope scope = seed % 4 == 0 ? ModifyScope::Selected : ModifyScope::All;
        const ThreadsOutcome single = c.run(1, scope);
        for (int threads : {2, 5}) ASSERT_EQ(c.run(threads, scope), single) << "seed " << seed << ", threads " << threads;
    }
}

// A message the engine shows for a file (here: a replacement over the length limit) comes once,
// at that file's turn, and ends the run with nothing written, as it does on one thread.
TEST(ModifyThreads, AnEngineMessageIsShownOnceAndEndsTheRun) {
    for (int threads : {1, 3}) {
        ModifyFixture f;
        f.phrase("alpha", std::string(kMaxReplaceText + 1, 'x'));
        for (int i = 0; i < 20; ++i) f.add("f" + std::to_string(i), "alpha\n");
        f.driver.setThreads(threads);
        f.modifyAll();
        EXPECT_EQ(f.messages(), (std::vector<std::string>{std::string(kProgramTitle) + ": " + kReplaceTextTooLong}))
            << threads;
        for (int i = 0; i < 20; ++i) EXPECT_EQ(f.read("f" + std::to_string(i)), "alpha\n");
    }
}

// Stop at any moment leaves a prefix of the rows modified and every later file as it was.
TEST(ModifyThreads, StopKeepsAPrefixOfTheRows) {
    for (int stopAt = 1; stopAt <= 12; ++stopAt) {
        ModifyFixture f;
        f.phrase("alpha", "omega");
        for (int i = 0; i < 40; ++i) f.add("f" + std::to_string(i), "alpha\nbeta\n");
        f.clock.setStepPerRead(20);  // every row is due a pump
        int pumps = 0;
        f.host.onPump = [&] {
            if (++pumps == stopAt) f.host.state.stop = true;
        };
        f.driver.setThreads(2);
        f.modifyAll();
        std::size_t modified = 0;
        while (modified < 40 && f.read("f" + std::to_string(modified)) == "omega\nbeta\n") ++modified;
        EXPECT_LT(modified, 40u) << stopAt;
        for (std::size_t i = modified; i < 40; ++i) {
            EXPECT_EQ(f.read("f" + std::to_string(i)), "alpha\nbeta\n") << stopAt << " row " << i;
            EXPECT_NE(f.result(i), "Modified") << stopAt << " row " << i;
        }
    }
}

}  // namespace
}  // namespace vsr::engine::test
