// The text encoding chosen in the settings: typed texts become its bytes, the Lines Viewer reads
// lines in it, memo files and history are kept in it, and names of files stay as they are.
#include "window_fixture.h"

#include <filesystem>
#include <fstream>

#include "platform/file_read.h"
#include "settings/key_paths.h"
#include "ui/lines/lines_viewer.h"

namespace vsr::ui::test {
namespace {

// "слово" and "Слово СЛОВО слово" in Windows-1251.
const std::string kWindows1251Word = "\xF1\xEB\xEE\xE2\xEE";
const std::string kLine1251 = "\xD1\xEB\xEE\xE2\xEE \xD1\xCB\xCE\xC2\xCE \xF1\xEB\xEE\xE2\xEE";

class EncodingTest : public WindowTest {
protected:
    std::unique_ptr<TFind> windowIn(const char* encoding) {
        store.put(settings::kOptionsKey, "TextEncoding", encoding);
        store.commit();
        return makeWindow(96, true);
    }
    // The texts of the Lines Viewer's entries.
    static QStringList viewerTexts(TFind& w) {
        QStringList out;
        for (int i = 0; i < control<LinesViewer>(w, "ListBox1")->count(); ++i)
            out << control<LinesViewer>(w, "ListBox1")->displayed(i).text;
        return out;
    }
};

TEST_F(EncodingTest, A1251QueryFindsAndShows1251Text) {
    files.write("cyrillic.txt", kLine1251 + "\r\nother\r\n");
    files.write("utf8.txt", "\xD1\x81\xD0\xBB\xD0\xBE\xD0\xB2\xD0\xBE\n");  // "слово" in UTF-8: other bytes
    auto w = windowIn("1251");
    control<QComboBox>(w, "FindEditComboBox")->setEditText(QString::fromUtf8("слово"));
    search(*w, files.str());
    ASSERT_EQ(rows(*w), 1);
    EXPECT_EQ(w->results().row(0).name, "cyrillic.txt");
    EXPECT_EQ(w->results().row(0).found, "3");  // "ч"-style folding of the page: all three cases
    w->ApplicationEvents1Idle();
    QTRY_VERIFY(control<LinesViewer>(w, "ListBox1")->hasLines());
    EXPECT_TRUE(viewerTexts(*w).join('|').contains(QString::fromUtf8("Слово СЛОВО слово"))) << viewerTexts(*w).join('|').toStdString();
}

TEST_F(EncodingTest, ACharacterTheEncodingLacksIsRefusedNotSearchedAsAQuestionMark) {
    files.write("a.txt", "what? \xE6\n");
    auto w = windowIn("1252");
    control<QComboBox>(w, "FindEditComboBox")->setEditText(QString::fromUtf8("ж"));
    search(*w, files.str());
    EXPECT_EQ(rows(*w), 0);
    EXPECT_FALSE(w->state().busy);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, "Find");
    EXPECT_NE(prompter.messages[0].text.find("\"\xD0\xB6\" (U+0436)"), std::string::npos) << prompter.messages[0].text;
    EXPECT_NE(prompter.messages[0].text.find("Windows-1252"), std::string::npos);

    // The same character under UTF-8 is searched, and a replacement only matters to Modify.
    prompter.messages.clear();
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
    control<QComboBox>(w, "SearchEdit")->setEditText(QStringLiteral("what"));
    control<QComboBox>(w, "Edit2")->setEditText(QString::fromUtf8("ж"));
    search(*w, files.str());
    EXPECT_EQ(rows(*w), 1);
    EXPECT_TRUE(prompter.messages.empty());
    w->ApplicationEvents1Idle();
    w->commands().invoke(Command::ModifyAll);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, "Modify");
    EXPECT_EQ(platform::readWholeFile(files.str() + "/a.txt").value_or(""), "what? \xE6\n");
}

TEST_F(EncodingTest, MemoFilesAndHistoryAreKeptInTheEncodingAndNamesStayAsTheFileSystemHasThem) {
    const std::string folder = files.str() + "/\xD0\xBF\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0";  // "папка", UTF-8 on disk
    std::filesystem::create_directory(folder);
    std::ofstream(folder + "/a.txt", std::ios::binary) << kWindows1251Word << "\r\n";
    {
        auto w = windowIn("1251");
        control<QPlainTextEdit>(w, "FindMemo")->setPlainText(QString::fromUtf8("слово\n"));
        control<QComboBox>(w, "FindEditComboBox")->setEditText(QString::fromUtf8("слово"));
        search(*w, folder);
        EXPECT_EQ(rows(*w), 1);
        w->close();
    }
    const std::string memo = platform::readWholeFile(dataDir.str() + "/FindMemo.tmp").value_or("<missing>");
    EXPECT_EQ(memo, kWindows1251Word + "\r\n\r\n");
    EXPECT_EQ(store.committed().at(platform::MemorySettingsStore::fullName(settings::kProgramKey, "FindEditComboBoxText")),
              kWindows1251Word);
    EXPECT_EQ(store.committed().at(platform::MemorySettingsStore::fullName(settings::kProgramKey, "ComboBoxPathText")),
              folder);
    auto w = makeWindow(96, true);
    EXPECT_EQ(control<QPlainTextEdit>(w, "FindMemo")->toPlainText(), QString::fromUtf8("слово\n"));
    EXPECT_EQ(control<QComboBox>(w, "FindEditComboBox")->currentText(), QString::fromUtf8("слово"));
    EXPECT_EQ(control<QComboBox>(w, "ComboBoxPath")->currentText(), QString::fromUtf8(folder.c_str()));
}

TEST_F(EncodingTest, TextsTheEncodingCannotHoldSurviveARestartWhole) {
    {
        auto w = windowIn("1252");
        control<QPlainTextEdit>(w, "FindMemo")->setPlainText(QString::fromUtf8("жук\ncafé\n"));
        control<QComboBox>(w, "FindEditComboBox")->setEditText(QString::fromUtf8("ж"));
        control<QComboBox>(w, "SearchEdit")->setEditText(QString::fromUtf8("café"));
        w->close();
    }
    // Kept as UTF-8 behind a byte order mark; what the page holds stays in the page.
    EXPECT_EQ(platform::readWholeFile(dataDir.str() + "/FindMemo.tmp").value_or("<missing>"),
              "\xEF\xBB\xBF\xD0\xB6\xD1\x83\xD0\xBA\r\ncaf\xC3\xA9\r\n\r\n");
    EXPECT_EQ(store.committed().at(platform::MemorySettingsStore::fullName(settings::kProgramKey, "SearchEditText")),
              "caf\xE9");
    auto w = makeWindow(96, true);
    EXPECT_EQ(control<QPlainTextEdit>(w, "FindMemo")->toPlainText(), QString::fromUtf8("жук\ncafé\n"));
    EXPECT_EQ(control<QComboBox>(w, "FindEditComboBox")->currentText(), QString::fromUtf8("ж"));
    EXPECT_EQ(control<QComboBox>(w, "SearchEdit")->currentText(), QString::fromUtf8("café"));
}

TEST_F(EncodingTest, UnderUtf8AByteThatIsNoCharacterSurvivesTheFieldAndIsSearched) {
    files.write("latin.txt", "caf\xE9\n");
    files.write("utf8.txt", "caf\xC3\xA9\n");
    // A query kept with a stray byte comes back as the same byte.
    store.put(settings::kProgramKey, "FindEditComboBoxText", "caf\xE9");
    // Files that are not UTF-8 taken as the bytes they are (read in a page, the file would be "café").
    store.put(settings::kOptionsKey, "FallbackEncoding", "bytes");
    auto w = windowIn("UTF-8");
    search(*w, files.str());
    ASSERT_EQ(rows(*w), 1);
    EXPECT_EQ(w->results().row(0).name, "latin.txt");
}

}  // namespace
}  // namespace vsr::ui::test
