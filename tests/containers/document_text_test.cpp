// Documents made by the test are read back as their text, a paragraph, cell or slide line per
// line in reading order; damaged, hostile and cut documents end with a status text.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "containers/archive_reader.h"
#include "containers/document_text.h"
#include "support/container_fixtures.h"
#include "support/temp_dir.h"

namespace vsr::containers {
namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(DocumentText, EveryKindReadsInOrder) {
    test::TempDir dir;
    ASSERT_TRUE(test::makeDocumentFixtures(dir.str()));
    const std::atomic<bool> stop = false;
    struct Case { const char* name; const char* text; };
    const Case cases[] = {
        {"hello.pdf", "Hello PDF world\nsecond line\n"},
        // The annotation's paragraph is left out; three spaces stand for text:s c="3".
        {"note.odt", "Title here\nFirst paragraph   end\nTab\tbed\n"},
        // The tab stop of the paragraph's properties is no tab; a break starts a line.
        {"memo.docx", "Quarterly\t report \nLine one\nLine two\ncell A\n"},
        // Shared strings come last in the zip, sheets by number; a formula's text and a
        // phonetic reading are not text, an index out of range is an empty cell.
        {"sheet.xlsx", "banana\n42\napple\ninline\n"},
        {"deck.pptx", "Welcome\nThanks\n"},
        // The head's title is not text of the book; blanks run together as a browser shows them.
        {"book.epub", "Chapter One\nIt was a dark night.\n"},
    };
    for (const Case& c : cases) {
        std::string text;
        const ReadOutcome end = documentFileText(dir.str() + "/" + c.name, ReadLimits{}, stop, text);
        EXPECT_EQ(end.end, ReadEnd::Whole) << c.name << ": " << end.status;
        EXPECT_EQ(text, c.text) << c.name;
    }
}

TEST(DocumentText, HostileOrDamagedDocumentsEndWithAStatus) {
    test::TempDir dir;
    ASSERT_TRUE(test::makeDocumentFixtures(dir.str()));
    const std::atomic<bool> stop = false;
    const std::string pdf = slurp(dir.str() + "/hello.pdf");
    const std::string docx = slurp(dir.str() + "/memo.docx");
    ReadLimits small;
    small.memberBytes = 8;
    struct Case { const char* what; ContainerType type; std::string name, bytes; ReadLimits limits; ReadEnd end; const char* status; };
    const Case cases[] = {
        {"entity bomb", ContainerType::OfficeXml, "broken.docx", slurp(dir.str() + "/broken.docx"), {}, ReadEnd::Failed, "not well-formed"},
        {"truncated zip", ContainerType::OfficeXml, "memo.docx", docx.substr(0, docx.size() / 2), {}, ReadEnd::Failed, "damaged"},
        {"garbage pdf", ContainerType::Pdf, "x.pdf", "%PDF-1.4\n" + std::string(300, 'x'), {}, ReadEnd::Failed, "PDF damaged"},
        {"pdf over the text limit", ContainerType::Pdf, "hello.pdf", pdf, small, ReadEnd::Cut, "cut off"},
        {"docx over the part limit", ContainerType::OfficeXml, "memo.docx", docx, small, ReadEnd::Cut, "cut off"},
    };
    for (const Case& c : cases) {
        std::string text;
        const ReadOutcome end = documentText(c.type, c.name, c.bytes, c.limits, stop, text);
        EXPECT_EQ(end.end, c.end) << c.what;
        EXPECT_NE(end.status.find(c.status), std::string::npos) << c.what << ": " << end.status;
        EXPECT_LE(text.size(), c.limits.memberBytes) << c.what;
    }
}

struct TextRecorder : ContainerVisitor {
    std::vector<std::string> seen;
    void member(const Member& m, MemberContent& content) override {
        std::string text;
        content.read(text);
        seen.push_back(m.path + (m.form == MemberForm::DocumentText ? " [text] " : " [bytes] ") + text);
    }
    void status(const std::string& path, const std::string& text) override { seen.push_back(path + ": " + text); }
};

TEST(DocumentText, DocumentsInsideArchivesAreTheirText) {
    test::TempDir dir;
    const std::string d = dir.str();
    ASSERT_TRUE(test::makeDocumentFixtures(d));
    ASSERT_EQ(std::system(("cd '" + d + "' && python3 -c 'import tarfile; t=tarfile.open(\"docs.tar.gz\",\"w:gz\"); "
                           "t.add(\"memo.docx\",\"in/memo.docx\"); t.add(\"hello.pdf\",\"hello.pdf\"); t.close()'")
                              .c_str()),
              0);
    TextRecorder r;
    const std::atomic<bool> stop = false;
    readArchive(d + "/docs.tar.gz", ReadLimits{}, stop, r);
    const std::vector<std::string> expected = {
        d + "/docs.tar.gz/in/memo.docx [text] Quarterly\t report \nLine one\nLine two\ncell A\n",
        d + "/docs.tar.gz/hello.pdf [text] Hello PDF world\nsecond line\n",
    };
    EXPECT_EQ(r.seen, expected);
}

}  // namespace
}  // namespace vsr::containers
