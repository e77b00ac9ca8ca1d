#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace vsr::tools {
namespace {

// Searches as a user of a UTF-8 desktop does, from the command line.
class VsrSearchUtf8 : public ::testing::Test {
protected:
    vsr::test::TempDir tree;
    std::string root() const { return tree.str(); }

    // The listed rows ("name<TAB>count"), relative to the tree and sorted.
    std::vector<std::string> rows(std::vector<std::string> args, const char* codePage = "utf-8") {
        std::vector<std::string> full = {"--path", root(), "--codepage", codePage};
        full.insert(full.end(), args.begin(), args.end());
        last = vsr::test::runProgram(VSR_SEARCH_EXE, full);
        std::vector<std::string> out;
        std::istringstream in(last.out);
        for (std::string line; std::getline(in, line);) out.push_back(line.substr(root().size() + 1));
        std::sort(out.begin(), out.end());
        return out;
    }
    using Rows = std::vector<std::string>;
    vsr::test::ToolRun last;
};

TEST_F(VsrSearchUtf8, IgnoreCaseFindsLettersOfEveryLanguage) {
    tree.write("cafe.txt", "un café, deux CAFÉ\n");
    tree.write("ru.txt", "Слово СЛОВО слово\n");
    tree.write("u.txt", "Ú\n");
    tree.write("nj.txt", "Њ и к\n");
    tree.write("de.txt", "Ärger ärger\n");
    tree.write("el.txt", "ΣΊΣΥΦΟΣ σίσυφος\n");
    EXPECT_EQ(rows({"--query", "CAFÉ"}), (Rows{"cafe.txt\t2"}));
    EXPECT_EQ(rows({"--query", "слово"}), (Rows{"ru.txt\t3"}));
    EXPECT_EQ(rows({"--query", "Ê"}), Rows{});
    EXPECT_EQ(last.status, 1);
    EXPECT_EQ(rows({"--query", "К"}), (Rows{"nj.txt\t1"}));
    EXPECT_EQ(rows({"--query", "ärger"}), (Rows{"de.txt\t2"}));
    EXPECT_EQ(rows({"--query", "σίσυφος"}), (Rows{"el.txt\t2"}));
    // Words and search-engine queries fold the same way.
    EXPECT_EQ(rows({"--type", "and", "--query", "СЛОВО ÄRGER"}), Rows{});
    EXPECT_EQ(rows({"--type", "engine", "--query", "+слово -café"}), (Rows{"ru.txt\t3, 0"}));
    // Case-sensitive search tells them apart.
    EXPECT_EQ(rows({"--query", "СЛОВО", "--case"}), (Rows{"ru.txt\t1"}));
}

TEST_F(VsrSearchUtf8, WholeWordsKnowLettersBeyondAscii) {
    tree.write("naive.txt", "naïve\n");
    tree.write("ve.txt", "«ve» ve\n");
    EXPECT_EQ(rows({"--query", "ve", "--whole"}), (Rows{"ve.txt\t2"}));
    EXPECT_EQ(rows({"--query", "NAÏVE", "--whole"}), (Rows{"naive.txt\t1"}));
}

TEST_F(VsrSearchUtf8, MultilineQueriesFoldEveryLine) {
    tree.write("a.txt", "первая\n  ÄRGER über  \nСЛОВО\n");
    vsr::test::TempDir scratch;
    scratch.write("q.txt", "ärger ÜBER\nслово\n");
    EXPECT_EQ(rows({"--type", "multiline", "--query-file", (scratch.path() / "q.txt").string()}), (Rows{"a.txt\t1"}));
}

TEST_F(VsrSearchUtf8, QueryLimitsCountCharacters) {
    tree.write("a.txt", "x\n");
    std::string query;
    for (int i = 0; i < 2001; ++i) query += "é";  // 4002 bytes
    rows({"--query", query});
    EXPECT_EQ(last.status, 1);  // searched, nothing found
    for (int i = 2001; i < 4001; ++i) query += "é";
    rows({"--query", query});
    EXPECT_EQ(last.status, 2);
    EXPECT_NE(last.err.find("The query is too long"), std::string::npos);

    vsr::test::TempDir scratch;
    std::string line;
    for (int i = 0; i < 600; ++i) line += "ж";  // 1200 bytes, 600 characters
    scratch.write("q.txt", line + "\n");
    rows({"--type", "multiline", "--query-file", (scratch.path() / "q.txt").string()});
    EXPECT_EQ(last.status, 1);
}

TEST_F(VsrSearchUtf8, ReplacingKeepsInvalidBytesAndClearsOneBlankPerCharacter) {
    // Taken as bytes, a file that is not UTF-8 keeps what is no character of it.
    tree.write("a.txt", "ärger \xFF\xC3 ÄRGER\n");
    rows({"--query", "ÄRGER", "--modify", "replace", "--replace", "x", "--fallback", "bytes"});
    EXPECT_EQ(last.status, 0);
    EXPECT_EQ(vsr::test::readFile(tree.path() / "a.txt"), "x \xFF\xC3 x\n");
    tree.write("b.txt", "süß und SÜẞ\n");
    rows({"--masks", "b.txt", "--query", "süß", "--modify", "clear"});
    EXPECT_EQ(vsr::test::readFile(tree.path() / "b.txt"), "    und    \n");
}

TEST_F(VsrSearchUtf8, RegularExpressionsTakeWholeCharacters) {
    tree.write("a.txt", "Слово СЛОВО слово\n");
    tree.write("b.txt", "naïve ärger\n");
    EXPECT_EQ(rows({"--type", "regex", "--query", "[а-я]+"}), (Rows{"a.txt\t3"}));
    EXPECT_EQ(rows({"--type", "regex", "--query", "[а-я]+", "--case"}), (Rows{"a.txt\t2"}));
    EXPECT_EQ(rows({"--type", "regex", "--query", "na.ve|ÄRGER"}), (Rows{"b.txt\t2"}));
    EXPECT_EQ(rows({"--type", "regex", "--query", "\\w+"}), (Rows{"a.txt\t3", "b.txt\t2"}));
    // Replacing through a regular expression keeps the characters around whole.
    rows({"--masks", "b.txt", "--type", "regex", "--query", "[^ ]ve", "--modify", "replace", "--replace", "_"});
    EXPECT_EQ(vsr::test::readFile(tree.path() / "b.txt"), "na_ ärger\n");
}

TEST_F(VsrSearchUtf8, Code1251FoldsChe) {
    tree.write("a.txt", "\xF7\xE0\xE9 \xD7\xC0\xC9\n");  // "чай ЧАЙ" in 1251
    EXPECT_EQ(rows({"--query", "\xF7\xE0\xE9"}, "1251"), (Rows{"a.txt\t2"}));
}

}  // namespace
}  // namespace vsr::tools
