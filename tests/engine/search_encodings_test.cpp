// The same text in every encoding the search reads (UTF-8, UTF-8, UTF-16 and UTF-32 behind
// their marks, Windows-1252 without one) gives the same Found counts and Lines Viewer lines
// for every query type, in small files read whole and in large ones read piece by piece,
// also when the one byte that is not UTF-8 comes only at the end. Each row names the file's
// encoding; "as bytes" keeps the old reading.
#include <gtest/gtest.h>

#include <map>

#include "encoded_files.h"
#include "engine/search/recording_host.h"
#include "engine/search/search_driver.h"
#include "engine/viewer/lines_viewer_fill.h"
#include "platform/clock.h"
#include "platform/locale_formats.h"
#include "platform/posix_file_system.h"
#include "platform/type_names.h"
#include "support/temp_dir.h"

namespace vsr::engine {
namespace {

using Form = FileEncoding::Form;
using test::fileBytes;

const char* formName(Form form) {
    return form == Form::Chosen ? "utf8" : form == Form::Page ? "1252" : fileEncodingName({form});
}

struct EncodedTree {
    vsr::test::TempDir dir;
    platform::PosixFileSystem fs;
    platform::FakeClock clock;
    platform::FakeLocaleFormats formats;
    platform::FakeTypeNames types;
    RecordingHost host;
    SearchDriver driver{{fs, clock, formats, types}, host};
    SearchConditions conditions = formConditions(dir.str());

    EncodedTree() { conditions.fallbackEncoding = platform::CodePageId::Windows1252; }

    // One file per encoding, named "<stem>.<encoding>".
    void write(const std::string& stem, const std::u32string& text) {
        for (Form form : test::kAllForms) dir.write(stem + "." + formName(form), fileBytes(form, text));
    }
    // name -> Found of every row.
    std::map<std::string, std::string> run() {
        host.list.ClearResults();
        driver.FindButtonClick(conditions);
        std::map<std::string, std::string> rows;
        for (const results::ResultItem& r : host.list.rows()) rows[r.name] = r.found;
        return rows;
    }
    std::vector<std::string> lines(const std::string& name) {
        LinesViewerContent content;
        results::ResultItem item;
        item.name = name;
        item.path = dir.str();
        host.list.ClearResults();
        const std::size_t row = host.list.AddResultItem(item);
        FillLinesViewer(conditions, {fs, clock, formats, types}, host, content,
                        {dir.str(), name, static_cast<long long>(row), FillPurpose::Silent});
        std::vector<std::string> out;
        for (std::size_t i = 0; i < content.count(); ++i) {
            const FoundLine& e = content.entry(i);
            if (e.kind == FoundLineKind::Header) continue;
            std::string line = e.displayText;
            for (const Highlight& h : e.highlights) line += " @" + std::to_string(h.offset) + ":" + std::to_string(h.length);
            out.push_back(line);
        }
        return out;
    }
};

std::u32string repeated(const std::u32string& text, int times) {
    std::u32string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

TEST(SearchEncodings, EveryEncodingFindsWhatItsUtf8TwinFinds) {
    EncodedTree t;
    const std::u32string text = U"\u00C4rger und \u00E4rger\r\n\u00FCber den Zaun, \u00C4RGER!\r\nzweite Zeile\r\n"
                                U"zweite Zeile\r\nEnde \u20AC 5";
    t.write("small", text);
    t.write("large", repeated(text + U"\r\n", 3000));  // many pieces of a streamed read
    // Plain ASCII for its first pieces: the byte that is not UTF-8 comes last.
    t.write("late", repeated(U"nothing to see here\r\n", 8000) + U"\u00C4rger");
    struct Query {
        QueryType type;
        const char* text;
        std::vector<std::string> lines;
        bool caseSensitive, wholeWords;
    };
    const Query queries[] = {
        {QueryType::Phrase, "\xC3\xA4rger", {}, false, false},
        {QueryType::Phrase, "\xC3\x84rger", {}, true, true},
        {QueryType::Phrase, "\xE2\x82\xAC 5", {}, false, false},
        {QueryType::WordsOr, "\xC3\xA4rger zaun ende", {}, false, true},
        {QueryType::WordsAnd, "\xC3\xBC" "ber zweite", {}, false, false},
        {QueryType::SearchEngine, "+zweite -nirgends \"den zaun\"", {}, false, false},
        {QueryType::Multiline, "", {"zweite Zeile", "ZWEITE ZEILE"}, false, false},
        {QueryType::RegExpr, "", {"\xC3\x84[a-z]+ (und|den)"}, false, false},
        {QueryType::RegExpr, "", {"^.ber"}, true, false},
    };
    for (const Query& q : queries) {
        SCOPED_TRACE(q.text + (q.lines.empty() ? std::string() : q.lines[0]));
        t.conditions.queryType = q.type;
        t.conditions.findText = q.text;
        t.conditions.findLines = q.lines.empty() ? std::vector<std::string>{q.text} : q.lines;
        t.conditions.caseSensitive = q.caseSensitive;
        t.conditions.wholeWords = q.wholeWords;
        const std::map<std::string, std::string> rows = t.run();
        for (const char* stem : {"small", "large", "late"}) {
            const std::string twin = std::string(stem) + ".utf8";
            for (Form form : test::kAllForms) {
                const std::string name = std::string(stem) + "." + formName(form);
                EXPECT_EQ(rows.count(name), rows.count(twin)) << name;
                if (rows.count(name) && rows.count(twin)) {
                    EXPECT_EQ(rows.at(name), rows.at(twin)) << name;
                }
            }
        }
        EXPECT_EQ(rows.count("small.utf8"), 1u);  // every query finds something
        if (q.type == QueryType::Phrase || q.type == QueryType::RegExpr)
            for (Form form : test::kAllForms) {
                const std::string name = std::string("small.") + formName(form);
                EXPECT_EQ(t.lines(name), t.lines("small.utf8")) << name;
            }
    }
}

TEST(SearchEncodings, RowsNameTheFileEncodingAndAsBytesReadsTheOldWay) {
    EncodedTree t;
    t.write("f", U"\u00C4rger");
    t.conditions.findText = "\xC3\x84rger";
    t.conditions.findLines = {t.conditions.findText};
    t.run();
    std::map<std::string, std::string> encodings;
    for (const results::ResultItem& r : t.host.list.rows()) {
        encodings[r.name] = r.fileEncoding;
        if (!r.fileEncoding.empty()) {
            EXPECT_NE(r.type.find(r.fileEncoding), std::string::npos) << r.type;
        }
    }
    const std::map<std::string, std::string> expected = {
        {"f.utf8", ""},        {"f.UTF-8 with BOM", "UTF-8 with BOM"}, {"f.UTF-16 LE", "UTF-16 LE"},
        {"f.UTF-16 BE", "UTF-16 BE"}, {"f.UTF-32 LE", "UTF-32 LE"},    {"f.UTF-32 BE", "UTF-32 BE"},
        {"f.1252", "Windows-1252"}};
    EXPECT_EQ(encodings, expected);
    // As bytes, the 1252 file is no longer found; a file with a mark still is.
    t.conditions.fallbackEncoding.reset();
    const std::map<std::string, std::string> rows = t.run();
    EXPECT_EQ(rows.count("f.1252"), 0u);
    EXPECT_EQ(rows.count("f.UTF-16 LE"), 1u);
    // A single-byte setting reads the 1252 file in its page, and the marked ones by their marks.
    t.conditions.textEncoding = platform::CodePageId::Windows1252;
    t.conditions.findText = "\xC4rger";
    t.conditions.findLines = {t.conditions.findText};
    EXPECT_EQ(t.run().size(), 6u);  // every file but the UTF-8 one without a mark
}

}  // namespace
}  // namespace vsr::engine
