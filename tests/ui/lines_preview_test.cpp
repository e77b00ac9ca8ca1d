// The "Preview" check box: the Lines Viewer shows the lines as Modify will write them.
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPainter>

#include "engine/modify/preview_lines.h"
#include "ui/lines/lines_viewer.h"
#include "ui/lines/lines_browser.h"
#include "window_fixture.h"

namespace vsr::ui::test {
namespace {

using vsr::test::readFile;

class PreviewTest : public WindowTest {
protected:
    std::unique_ptr<TFind> searched(const std::string& query, const std::string& replace, bool preview = true) {
        auto w = makeWindow();
        control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
        control<QRadioButton>(w, "PhraseButtonReplace")->click();
        control<QRadioButton>(w, "ReplaceButton")->click();
        control<QCheckBox>(w, "SensitiveCheckBox")->setChecked(true);
        control<QCheckBox>(w, "WholeWordsCheckBox")->setChecked(false);
        control<QCheckBox>(w, "PreviewCheckBox")->setChecked(preview);
        control<QComboBox>(w, "SearchEdit")->setEditText(QString::fromStdString(query));
        control<QComboBox>(w, "Edit2")->setEditText(QString::fromStdString(replace));
        search(*w, files.str());
        settle(*w);
        return w;
    }
    static void settle(TFind& w) {
        LinesBrowser* browser = w.findChild<LinesBrowser*>();
        auto quiet = [&] { return !browser->browsePending() && !browser->filling(); };
        ASSERT_TRUE(QTest::qWaitFor(quiet));
        QCoreApplication::processEvents();
        ASSERT_TRUE(QTest::qWaitFor(quiet));
    }
    // The drawn rows below the header: "E text" for an entry, "P text" for a preview line with
    // its inserted stretches in [+...] and removed ones in [-...].
    static std::vector<std::string> drawn(TFind& w) {
        LinesViewer* v = control<LinesViewer>(w, "ListBox1");
        std::vector<std::string> out;
        for (int row = 1; row < v->rowCount(); ++row) {
            const auto [index, line] = v->rowAt(row);
            if (line < 0) {
                out.push_back("E " + v->content().entry(static_cast<std::size_t>(index)).displayText);
                continue;
            }
            const LinesViewer::PreviewDisplay& d = v->previewDisplayed(index, line);
            std::string text = "P ";
            for (int i = 0; i < d.text.size(); ++i) {
                for (auto [o, n] : d.inserted) if (o == i) text += "[+";
                for (auto [o, n] : d.removed) if (o == i) text += "[-";
                text += d.text.mid(i, 1).toStdString();
                for (auto [o, n] : d.inserted) if (o + n == i + 1) text += "]";
                for (auto [o, n] : d.removed) if (o + n == i + 1) text += "]";
            }
            out.push_back(text);
        }
        return out;
    }
};

TEST_F(PreviewTest, OffByDefaultAndKeptInTheSettings) {
    files.write("a.txt", "one alpha\n");
    {
        auto w = makeWindow(96, true);
        EXPECT_FALSE(control<QCheckBox>(w, "PreviewCheckBox")->isChecked());
        EXPECT_EQ(control<QCheckBox>(w, "PreviewCheckBox")->parentWidget(),
                  control<QGroupBox>(w, "ModificationTypeBox"));
        control<QCheckBox>(w, "PreviewCheckBox")->setChecked(true);
        w->close();
    }
    auto w = makeWindow(96, true);
    EXPECT_TRUE(control<QCheckBox>(w, "PreviewCheckBox")->isChecked());

    auto off = searched("alpha", "omega", false);
    EXPECT_FALSE(control<LinesViewer>(off, "ListBox1")->hasPreview());
    EXPECT_EQ(control<LinesViewer>(off, "ListBox1")->rowCount(), control<LinesViewer>(off, "ListBox1")->count());
}

TEST_F(PreviewTest, FoundLinesShowTheirNewFormAndTheCountOfReplacements) {
    files.write("a.txt", "one alpha two\r\nkeep\nalpha alpha\n");
    auto w = searched("alpha", "omega");
    // Line 1 also loses its CR (the separator is LF), which is marked at its end.
    EXPECT_EQ(drawn(*w), (std::vector<std::string>{"E  line 1: one alpha two", "P one [-alpha][+omega] two [-<CR LF>][+<LF>]",
                                                   "E  line 3: alpha alpha", "P [-alpha][+omega] [-alpha][+omega]"}));
    EXPECT_EQ(statusPanel(w, 1)->text(), QStringLiteral("Preview: 3 of 3 replacements in 1 file will be written"));
    // Nothing was written by the preview; Modify then writes what it showed.
    EXPECT_EQ(readFile(files.path() / "a.txt"), "one alpha two\r\nkeep\nalpha alpha\n");
    w->commands().trigger(Command::ModifyAll);
    EXPECT_EQ(readFile(files.path() / "a.txt"), "one omega two\nkeep\nomega omega\n");
}

// A replacement that keeps the text still rewrites CR LF line ends as LF: the preview shows
// that change, and only that.
TEST_F(PreviewTest, AChangeOfLineEndAloneIsMarked) {
    files.write("crlf.txt", "alpha\r\nbeta\r\nalpha");
    auto w = searched("alpha", "alpha");
    EXPECT_EQ(drawn(*w), (std::vector<std::string>{"E  line 1: alpha", "P alpha [-<CR LF>][+<LF>]", "E  line 3: alpha",
                                                   "P alpha"}));
    EXPECT_EQ(statusPanel(w, 1)->text(), QStringLiteral("Preview: 2 of 2 replacements in 1 file will be written"));
    w->commands().trigger(Command::ModifyAll);
    EXPECT_EQ(readFile(files.path() / "crlf.txt"), "alpha\nbeta\nalpha");
}

TEST_F(PreviewTest, BlocksShowTheirNewLinesAndTurningItOffDropsThePreview) {
    files.write("b.txt", "x\nold 1\nold 2\ny\n");
    auto w = makeWindow();
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
    control<QRadioButton>(w, "TextSearchButton")->click();
    control<QRadioButton>(w, "ReplaceButton")->click();
    control<QCheckBox>(w, "PreviewCheckBox")->setChecked(true);
    control<QPlainTextEdit>(w, "SearchMemo")->setPlainText(QStringLiteral("old 1\nold 2"));
    control<QPlainTextEdit>(w, "Memo2")->setPlainText(QStringLiteral("new 1\nnew 2\nnew 3"));
    search(*w, files.str());
    settle(*w);
    EXPECT_EQ(drawn(*w), (std::vector<std::string>{"E  line 2 - line 3", "P [-old][+new] 1", "P [-old][+new] 2",
                                                   "P [+new 3]"}));
    EXPECT_EQ(statusPanel(w, 1)->text(), QStringLiteral("Preview: 1 of 1 replacement in 1 file will be written"));

    QTest::mouseClick(control<QCheckBox>(w, "PreviewCheckBox"), Qt::LeftButton);
    settle(*w);
    EXPECT_FALSE(control<LinesViewer>(w, "ListBox1")->hasPreview());
    EXPECT_TRUE(statusPanel(w, 1)->text().isEmpty());
    QTest::mouseClick(control<QCheckBox>(w, "PreviewCheckBox"), Qt::LeftButton);
    settle(*w);
    EXPECT_TRUE(control<LinesViewer>(w, "ListBox1")->hasPreview());
}

TEST_F(PreviewTest, ARowThatCannotBeWrittenSaysSo) {
    files.write("ro.txt", "alpha\n");
    ::chmod((files.path() / "ro.txt").c_str(), 0444);
    auto w = makeWindow();
    control<QCheckBox>(w, "CreatBackupCheckBox")->setChecked(false);
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
    control<QRadioButton>(w, "PhraseButtonReplace")->click();
    control<QRadioButton>(w, "ReplaceButton")->click();
    control<QCheckBox>(w, "PreviewCheckBox")->setChecked(true);
    control<QComboBox>(w, "SearchEdit")->setEditText(QStringLiteral("alpha"));
    control<QComboBox>(w, "Edit2")->setEditText(QStringLiteral("omega"));
    search(*w, files.str());
    settle(*w);
    EXPECT_FALSE(control<LinesViewer>(w, "ListBox1")->hasPreview());
    EXPECT_TRUE(statusPanel(w, 1)->text().startsWith(QStringLiteral("Preview: the file can't be modified")));
}

// The real files, except that the store can't read one of them, as after a failing disk.
class UnreadableStore final : public durable::PosixFileStore {
public:
    explicit UnreadableStore(std::string unreadable) : unreadable_(std::move(unreadable)) {}
    std::optional<std::string> read(const std::string& path, platform::FileStamp* stamp) override {
        ++reads;
        if (path == unreadable_) return std::nullopt;
        return PosixFileStore::read(path, stamp);
    }
    int reads = 0;

private:
    std::string unreadable_;
};

// The preview reads the file as Modify would, through the window's file store: a file that
// store can't read is one the preview says can't be modified, though the disk still has it.
TEST_F(PreviewTest, ThePreviewReadsThroughTheWindowsFileStore) {
    files.write("a.txt", "alpha\n");
    UnreadableStore store((files.path() / "a.txt").string());
    fileStore = &store;
    auto w = searched("alpha", "omega");
    EXPECT_GT(store.reads, 0);
    EXPECT_FALSE(control<LinesViewer>(w, "ListBox1")->hasPreview());
    EXPECT_TRUE(statusPanel(w, 1)->text().startsWith(QStringLiteral("Preview: the file can't be modified")));
}

// The marks are drawn: inserted text green, removed text red and struck through.
TEST_F(PreviewTest, MarksAreDrawnInGreenAndRed) {
    files.write("a.txt", "alpha beta\n");
    auto w = searched("alpha", "omega");
    LinesViewer* v = control<LinesViewer>(w, "ListBox1");
    ASSERT_TRUE(v->hasPreview());
    QImage image(400, v->rowHeight(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    v->paintPreviewLine(p, 1, 0, QRect(0, 0, 400, v->rowHeight()), 0, false);
    p.end();
    int green = 0, red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.green() > 90 && c.red() < 60 && c.blue() < 60) ++green;
            if (c.red() > 180 && c.green() < 80 && c.blue() < 80) ++red;
        }
    EXPECT_GT(green, 5);
    EXPECT_GT(red, 5);
}

}  // namespace
}  // namespace vsr::ui::test
