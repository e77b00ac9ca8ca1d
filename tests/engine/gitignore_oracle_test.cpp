// The ignore files of version control judged by git itself: random trees with random .gitignore,
// .ignore and info/exclude files (every kind of pattern, nested files, negations, "**", folder
// patterns, escapes, blanks, CR LF), and for every path our verdict must be git's. The walk of a
// search with the option on must list exactly the files git counts as untracked and not ignored.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/search/gitignore_walk.h"
#include "engine/search/recording_host.h"
#include "engine/search/search_driver.h"
#include "platform/clock.h"
#include "platform/locale_formats.h"
#include "platform/posix_file_system.h"
#include "platform/type_names.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace vsr::engine {
namespace {

namespace fs = std::filesystem;

bool gitAvailable() { return std::system("git --version >/dev/null 2>&1") == 0; }

// Names chosen so that escapes, trailing blanks and glob bytes in names all come up.
const std::vector<std::string> kTreeNames = {"a",  "b",    "ab",   "a.o", "b.c",   "x.txt", "build", "doc",
                                             "sub", "a ",  " b",   "#c",  "!d",    "e*",    "f?",    "[g]",
                                             "h\\i", "hi", "K",    "lib.a", "a.o.d", ".hid", "o"};

struct GiTree {
    std::vector<std::string> dirs{""};  // relative, "" the top
    std::vector<std::string> paths;     // every file and folder, relative
    std::set<std::string> folders;
};

std::string giJoin(const std::string& dir, const std::string& name) { return dir.empty() ? name : dir + "/" + name; }

GiTree giMakeTree(std::mt19937& rng, const fs::path& top) {
    GiTree t;
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    for (std::size_t d = 0; d < t.dirs.size() && t.dirs.size() < 12; ++d) {
        const std::string dir = t.dirs[d];
        const std::size_t depth = dir.empty() ? 0 : std::count(dir.begin(), dir.end(), '/') + 1;
        std::set<std::string> used;
        for (std::size_t k = 2 + pick(5); k > 0; --k) {
            const std::string name = kTreeNames[pick(kTreeNames.size())];
            if (!used.insert(name).second) continue;
            const std::string rel = giJoin(dir, name);
            t.paths.push_back(rel);
            if (depth < 3 && pick(10) < 4) {
                fs::create_directories(top / rel);
                t.dirs.push_back(rel);
                t.folders.insert(rel);
            } else {
                std::FILE* f = std::fopen((top / rel).c_str(), "w");
                std::fclose(f);
            }
        }
    }
    return t;
}

// A glob byte in a name written as itself; a "\" doubled or dropped at random.
std::string giLiteral(std::mt19937& rng, const std::string& name) {
    std::string out;
    for (char c : name) {
        if (c == '*' || c == '?' || c == '[' || c == '\\') out += rng() % 4 ? "\\" : "";
        out += c;
    }
    if (!out.empty() && (out[0] == '#' || out[0] == '!') && rng() % 3) out = "\\" + out;
    if (!out.empty() && out.back() == ' ' && rng() % 2) out.insert(out.size() - 1, "\\");
    return out;
}

// The first byte of `name` as a bracket expression that may or may not take it: a range ending
// or starting at it, a negated set, "]" first in the set.
std::string giClass(std::mt19937& rng, const std::string& name) {
    if (name.empty()) return "[a]";
    const char c = name[0];
    const std::string rest = name.substr(1);
    switch (rng() % 7) {
    case 0: return std::string("[") + char(c - 1) + "-" + c + "]" + rest;
    case 1: return std::string("[") + c + "-" + char(c + 1) + "]" + rest;
    case 2: return std::string("[!") + c + "]" + rest;
    case 3: return std::string("[^a-") + c + "]" + rest;
    case 4: return std::string("[]") + c + "]" + rest;
    case 5: return std::string("[\\") + c + "-]" + rest;
    default: return "[[:alpha:][:digit:]]" + rest;
    }
}

// One line aimed at `rel` (a path below the file's folder), bent into some kind of pattern.
std::string giPattern(std::mt19937& rng, const std::string& rel) {
    std::vector<std::string> parts;
    for (std::size_t s = 0, e; s <= rel.size(); s = e + 1) {
        e = rel.find('/', s);
        if (e == std::string::npos) e = rel.size();
        parts.push_back(rel.substr(s, e - s));
    }
    for (std::string& p : parts) {
        switch (rng() % 9) {
        case 0: p = "*"; break;
        case 1: if (!p.empty()) p[rng() % p.size()] = '?'; break;
        case 2: p = "*" + p.substr(p.size() / 2); break;
        case 3:
        case 4: p = giClass(rng, p); break;
        default: p = giLiteral(rng, p);
        }
    }
    std::string line;
    const unsigned shape = rng() % 8;
    if (shape == 0 && parts.size() > 1) {
        line = parts.front() + "/**/" + parts.back();
    } else {
        for (std::size_t i = 0; i < parts.size(); ++i) line += (i ? "/" : "") + parts[i];
        if (shape == 1) line = "**/" + parts.back();
        if (shape == 2) line = "/" + line;
        if (shape == 3) line = parts.front() + "/**";
        if (shape == 4) line = parts.back();
    }
    if (rng() % 5 == 0) line += "/";
    if (rng() % 4 == 0) line = "!" + line;
    if (rng() % 6 == 0) line += "  ";
    return line;
}

std::string giIgnoreFile(std::mt19937& rng, const std::vector<std::string>& below, bool mayMark) {
    std::string text = mayMark && rng() % 8 == 0 ? "\xEF\xBB\xBF" : "";
    const bool crlf = rng() % 5 == 0;
    for (std::size_t n = 1 + rng() % 6; n > 0; --n) {
        const unsigned kind = rng() % 12;
        if (kind == 0) text += "# " + below[rng() % below.size()];
        else if (kind == 1) text += rng() % 2 ? "" : "   ";
        else if (kind == 2) text += "*.o";
        else text += giPattern(rng, below[rng() % below.size()]);
        text += crlf ? "\r\n" : "\n";
    }
    return text;
}

void giWrite(const fs::path& file, const std::string& bytes) {
    std::FILE* f = std::fopen(file.c_str(), "w");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void giBelow(const GiTree& t, const std::string& dir, std::vector<std::string>& out) {
    out.clear();
    for (const std::string& p : t.paths)
        if (dir.empty() || p.rfind(dir + "/", 0) == 0) out.push_back(dir.empty() ? p : p.substr(dir.size() + 1));
}

// Our verdict for every path below `root` (relative to `top`): walked as the search walks,
// everything inside an ignored folder ignored with it.
void giJudge(platform::FileSystem& posix, GitignoreWalk& walk, const std::string& top, const std::string& rel,
             std::size_t depth, bool inIgnored, std::set<std::string>& ignored, std::set<std::string>& seen) {
    const std::string dir = rel.empty() ? top : top + "/" + rel;
    std::vector<platform::DirEntry> entries;
    platform::FolderRef handle;
    ASSERT_TRUE(posix.listFolder(dir, entries, handle));
    if (!inIgnored) walk.enter(depth, dir, fs::path(dir).filename().string(), entries, handle.get());
    for (const platform::DirEntry& e : entries) {
        if (e.name == ".git") continue;
        const std::string path = giJoin(rel, e.name);
        const bool folder = e.kind == platform::EntryKind::Directory;
        const bool out = inIgnored || walk.ignores(depth, e.name, folder);
        seen.insert(path);
        if (out) ignored.insert(path);
        if (folder) giJudge(posix, walk, top, path, depth + 1, out, ignored, seen);
    }
}

std::set<std::string> giSplitNul(const std::string& s) {
    std::set<std::string> out;
    for (std::size_t a = 0, b; a < s.size(); a = b + 1) {
        b = s.find('\0', a);
        if (b == std::string::npos) b = s.size();
        if (b > a) out.insert(s.substr(a, b - a));
    }
    return out;
}

TEST(GitignoreOracle, EveryPathIsJudgedAsGitJudgesIt) {
    if (!gitAvailable()) GTEST_SKIP() << "git is not installed: the ignore rules have no oracle here";
    std::size_t ignoredSeen = 0, keptSeen = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        vsr::test::TempDir dir;
        const std::string top = dir.str() + "/repo";
        fs::create_directories(top);
        ASSERT_EQ(std::system(("git init -q '" + top + "'").c_str()), 0);
        const GiTree tree = giMakeTree(rng, top);
        std::vector<std::string> below;
        std::map<std::string, std::string> gitignores, ignores;
        for (const std::string& d : tree.dirs) {
            giBelow(tree, d, below);
            if (below.empty()) continue;
            if (rng() % 3 != 0) gitignores[d] = giIgnoreFile(rng, below, true);
            if (rng() % 4 == 0) ignores[d] = giIgnoreFile(rng, below, false);
        }
        for (const auto& [d, text] : gitignores) giWrite(fs::path(top) / d / ".gitignore", text);
        for (const auto& [d, text] : ignores) giWrite(fs::path(top) / d / ".ignore", text);
        giBelow(tree, "", below);
        if (rng() % 2) giWrite(fs::path(top) / ".git/info/exclude", giIgnoreFile(rng, below, false));

        // Ours, from the top and from a folder below it (whose verdicts come from the files above).
        platform::PosixFileSystem posix;
        std::set<std::string> ours, all, allInner;
        {
            GitignoreWalk walk(posix, top);
            giJudge(posix, walk, top, "", 0, false, ours, all);
        }
        const std::string inner = tree.dirs[rng() % tree.dirs.size()];
        std::set<std::string> oursInner;
        {
            GitignoreWalk walk(posix, inner.empty() ? top : top + "/" + inner);
            giJudge(posix, walk, top, inner, 0, walk.rootIgnored(), oursInner, allInner);
        }

        // Git reads no .ignore: each one joins its folder's .gitignore, after it, as they rank.
        for (const auto& [d, text] : ignores) {
            std::string joined = gitignores.count(d) ? gitignores[d] : "";
            giWrite(fs::path(top) / d / ".gitignore", joined + "\n" + text);
        }
        std::string input;
        for (const std::string& p : all) input += p + '\0';
        giWrite(dir.path() / "paths", input);
        const vsr::test::ToolRun git =
            vsr::test::runProgram("git", {"-C", top, "check-ignore", "--no-index", "--stdin", "-z"}, dir.str() + "/paths");
        ASSERT_TRUE(git.status == 0 || git.status == 1) << git.err;
        const std::set<std::string> theirs = giSplitNul(git.out);
        EXPECT_EQ(ours, theirs);
        std::set<std::string> theirsInner;
        for (const std::string& p : theirs)
            if (inner.empty() || p.rfind(inner + "/", 0) == 0) theirsInner.insert(p);
        EXPECT_EQ(oursInner, theirsInner) << "root " << inner;
        ignoredSeen += theirs.size();
        keptSeen += all.size() - theirs.size();
    }
    // The trees must exercise both outcomes, or the comparison proves little.
    EXPECT_GT(ignoredSeen, 200u);
    EXPECT_GT(keptSeen, 200u);
}

TEST(GitignoreOracle, TheWalkListsWhatGitCountsAsUntracked) {
    if (!gitAvailable()) GTEST_SKIP() << "git is not installed: the ignore rules have no oracle here";
    for (unsigned seed = 101; seed <= 112; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        vsr::test::TempDir dir;
        const std::string top = dir.str();
        ASSERT_EQ(std::system(("git init -q '" + top + "'").c_str()), 0);
        const GiTree tree = giMakeTree(rng, top);
        std::vector<std::string> below;
        for (const std::string& d : tree.dirs) {
            giBelow(tree, d, below);
            if (!below.empty() && rng() % 2) giWrite(fs::path(top) / d / ".gitignore", giIgnoreFile(rng, below, true));
        }
        const vsr::test::ToolRun git =
            vsr::test::runProgram("git", {"-C", top, "ls-files", "--others", "--exclude-standard", "-z"});
        ASSERT_EQ(git.status, 0) << git.err;
        std::set<std::string> untracked;
        for (const std::string& p : giSplitNul(git.out)) untracked.insert(top + "/" + p);
        for (const int threads : {1, 2}) {
            for (const bool on : {false, true}) {
                platform::PosixFileSystem posix;
                platform::FakeClock clock;
                platform::FakeLocaleFormats formats;
                platform::FakeTypeNames types;
                RecordingHost host;
                SearchDriver driver{{posix, clock, formats, types}, host};
                driver.setThreads(threads);
                SearchConditions c = formConditions(top);
                c.skipGitignored = on;
                driver.FindButtonClick(c);
                std::set<std::string> listed;
                for (const results::ResultItem& r : host.list.rows()) listed.insert(r.fullName());
                if (on) {
                    EXPECT_EQ(listed, untracked) << threads;
                } else {
                    // Off, the walk is today's: every file, those in .git too.
                    EXPECT_TRUE(std::includes(listed.begin(), listed.end(), untracked.begin(), untracked.end()));
                    EXPECT_TRUE(listed.count(top + "/.git/HEAD")) << threads;
                }
            }
        }
    }
}

}  // namespace
}  // namespace vsr::engine
