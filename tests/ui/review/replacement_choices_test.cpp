// The choice of replacements to keep, without widgets: a table of steps with the states and
// the status sentence each leaves, and random steps against a plain model of the same rules.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ui/review/replacement_choices.h"

namespace vsr::ui::review {
namespace {

char letter(FileChoice c) { return c == FileChoice::On ? '+' : c == FileChoice::Off ? '-' : '~'; }

// Runs one step, written "count a 5", "exact a 3", "edit a 2", "file a", "on a", "off a",
// "forget a" or "clear".
void step(ReplacementChoices& c, const std::string& words) {
    std::istringstream in(words);
    std::string op, file;
    std::size_t n = 0;
    in >> op >> file >> n;
    if (op == "count") c.setCount(file, n, false);
    else if (op == "exact") c.setCount(file, n, true);
    else if (op == "edit") c.toggle(file, n);
    else if (op == "file") c.toggleFile(file);
    else if (op == "on") c.setFile(file, true);
    else if (op == "off") c.setFile(file, false);
    else if (op == "forget") c.forget(file);
    else if (op == "clear") c.clear();
    else ADD_FAILURE() << "unknown step " << words;
}

// "a+ b~ c-" for the files a, b, c, then their off edits: "a+ b~[0,2] c-[0,1,2]".
std::string states(const ReplacementChoices& c) {
    std::string out;
    for (const char* f : {"a", "b"}) {
        if (!c.known(f)) continue;
        out += std::string(out.empty() ? "" : " ") + f + letter(c.state(f));
        const std::vector<std::size_t> off = c.offEdits(f);
        if (off.empty()) continue;
        out += "[";
        for (std::size_t i = 0; i < off.size(); ++i) out += (i ? "," : "") + std::to_string(off[i]);
        out += "]";
    }
    return out;
}

TEST(ReplacementChoices, StepsLeaveTheseStatesAndSentences) {
    const struct {
        const char* steps;  // separated by ";"
        const char* states;
        const char* sentence;
    } cases[] = {
        {"count a 3; count b 4", "a+ b+", "7 of 7 replacements in 2 files will be written"},
        {"exact a 3; edit a 1", "a~[1]", "2 of 3 replacements in 1 file will be written"},
        // Turning every edit off one by one leaves the file off; turning one on again, partly.
        {"exact a 2; edit a 0; edit a 1", "a-[0,1]", "0 of 2 replacements in 0 files will be written"},
        {"exact a 2; edit a 0; edit a 1; edit a 1", "a~[0]", "1 of 2 replacements in 1 file will be written"},
        // The file's key: on goes off, partly and off come back on, every edit of them.
        {"exact a 3; file a", "a-[0,1,2]", "0 of 3 replacements in 0 files will be written"},
        {"exact a 3; edit a 2; file a", "a+", "3 of 3 replacements in 1 file will be written"},
        {"exact a 3; file a; file a", "a+", "3 of 3 replacements in 1 file will be written"},
        // One kept out of a file wholly off keeps the others off.
        {"exact a 3; off a; edit a 1", "a~[0,2]", "1 of 3 replacements in 1 file will be written"},
        // A file turned off before its edits were listed stays off when the listing comes,
        // whatever it counts.
        {"count a 5; off a; exact a 4", "a-[0,1,2,3]", "0 of 4 replacements in 0 files will be written"},
        // The listing's count replaces the estimate; an estimate never replaces the listing.
        {"count a 5; exact a 4; count a 9", "a+", "4 of 4 replacements in 1 file will be written"},
        // A file whose listing changed starts again with all on; the same listing keeps the choice.
        {"exact a 3; edit a 0; exact a 3", "a~[0]", "2 of 3 replacements in 1 file will be written"},
        {"exact a 3; edit a 0; exact a 4", "a+", "4 of 4 replacements in 1 file will be written"},
        // Edits the file doesn't have can't be turned off.
        {"exact a 2; edit a 2; edit b 0", "a+", "2 of 2 replacements in 1 file will be written"},
        {"exact a 1; count b 2; edit a 0; forget b", "a-[0]", "0 of 1 replacement in 0 files will be written"},
        {"exact a 3; edit a 0; count b 2; clear", "", "0 of 0 replacements in 0 files will be written"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.steps);
        ReplacementChoices choices;
        std::string all = c.steps;
        for (std::size_t at = 0; at <= all.size();) {
            const std::size_t end = std::min(all.find(';', at), all.size());
            step(choices, all.substr(at, end - at));
            at = end + 1;
        }
        EXPECT_EQ(states(choices), c.states);
        EXPECT_EQ(totalsText(choices.totals()), c.sentence);
        EXPECT_EQ(choices.anyOff(), std::string(c.states).find_first_of("-~") != std::string::npos);
    }
}

// The totals are kept up to date step by step; a plain model of sets recounts them from scratch.
TEST(ReplacementChoices, RunningTotalsEqualARecount) {
    struct Plain {
        std::size_t count = 0;
        bool allOff = false;
        std::set<std::size_t> off;
        std::set<std::size_t> effective() const {
            if (!allOff) return off;
            std::set<std::size_t> all;
            for (std::size_t i = 0; i < count; ++i) all.insert(i);
            return all;
        }
    };
    std::mt19937 random(33);
    const std::vector<std::string> names = {"a", "b", "c"};
    for (int round = 0; round < 300; ++round) {
        ReplacementChoices choices;
        std::map<std::string, Plain> plain;
        for (int s = 0; s < 30; ++s) {
            const std::string& f = names[random() % names.size()];
            const std::size_t n = random() % 4;
            const bool had = plain.count(f) > 0;
            Plain& p = plain[f];
            switch (random() % 5) {
                case 0:
                    choices.setCount(f, n, true);
                    if (!had || p.count != n) {
                        const bool allOff = had && (p.allOff || (p.count > 0 && p.off.size() == p.count));
                        p = {n, allOff, {}};
                    }
                    break;
                case 1:
                case 2: {
                    choices.toggle(f, n);
                    if (n >= p.count) break;
                    std::set<std::size_t> e = p.effective();
                    if (!e.erase(n)) e.insert(n);
                    p.allOff = e.size() == p.count;
                    p.off = p.allOff ? std::set<std::size_t>() : e;
                    break;
                }
                case 3:
                    choices.toggleFile(f);
                    p.allOff = !p.allOff && p.off.empty();
                    p.off.clear();
                    break;
                default:
                    choices.forget(f);
                    plain.erase(f);
                    break;
            }
            ReplacementChoices::Totals expected;
            for (const auto& [name, q] : plain) {
                const std::size_t kept = q.count - q.effective().size();
                expected.total += q.count;
                expected.kept += kept;
                if (kept > 0) ++expected.files;
                const std::set<std::size_t> e = q.effective();
                EXPECT_EQ(choices.offEdits(name), std::vector<std::size_t>(e.begin(), e.end()));
                EXPECT_EQ(choices.state(name), q.allOff ? FileChoice::Off : e.empty() ? FileChoice::On : FileChoice::Partly);
            }
            ASSERT_EQ(choices.totals(), expected) << "round " << round << " step " << s;
        }
    }
}

}  // namespace
}  // namespace vsr::ui::review
