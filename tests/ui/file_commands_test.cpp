#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QCheckBox>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>

#include "platform/file_manager.h"
#include "platform/launcher.h"
#include "platform/freedesktop_trash.h"
#include "platform/memory_settings_store.h"
#include "settings/settings_storage.h"
#include "support/temp_dir.h"
#include "ui/dialogs/confirm_dialogs.h"
#include "ui/prompt/window_prompter.h"
#include "ui/prompt/file_ops_dialogs.h"
#include "ui/window/find_window.h"
#include "ui/lines/lines_viewer.h"
#include "ui/lines/lines_browser.h"
#include "ui/list/list_commands.h"
#include "ui/dialogs/rename_dialog.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/settings_dialog_set.h"
#include "ui/commands/window_file_ops.h"
#include "ui/commands/window_member_copies.h"
#include "window_fixture.h"

namespace vsr::ui {
namespace {

using vsr::ui::test::control;
using vsr::ui::test::statusPanel;

namespace fs = std::filesystem;

// Answers the window's questions: message boxes and the folder picker are recorded, modal
// dialogs go to `modal`, which sees the dialog as the user would.
class FileCommandAnswers : public WindowPrompter {
public:
    void messageBox(const std::string& caption, const std::string& text, engine::MessageIcon) override {
        messages.push_back(caption + ": " + text);
    }
    std::string selectFolder(const std::string& title, const std::string& start) override {
        folderQuestions.push_back(title + " @ " + start);
        return folder;
    }
    void showAbout(QWidget*) override {}
    std::string openProgram(const std::string&) override { return {}; }
    std::string saveListFile(const std::string&) override { return {}; }
    int runModal(QDialog& dialog) override { return modal ? modal(dialog) : int(QDialog::Rejected); }

    std::vector<std::string> messages, folderQuestions;
    std::string folder;
    std::function<int(QDialog&)> modal;
};

// What a confirmation dialog showed: caption, visible lines and visible buttons.
struct Shown {
    std::string caption;
    std::vector<std::string> lines, buttons;
    int labelWidth = 0;
};

Shown shownBy(QDialog& d) {
    Shown s;
    s.caption = d.windowTitle().toStdString();
    auto& c = dynamic_cast<ConfirmDialog&>(d);
    for (QLabel* l : c.Labels) {
        if (l->isHidden()) continue;
        s.lines.push_back(l->text().toStdString());
        s.labelWidth = std::max(s.labelWidth, l->fontMetrics().horizontalAdvance(l->text()));
    }
    for (QPushButton* b : {c.OKBtn, c.SkipBtn, c.YesToAllBtn, c.CancelBtn})
        if (!b->isHidden()) s.buttons.push_back(b->text().toStdString());
    return s;
}

class FileCommandsTest : public ::testing::Test {
protected:
    FileCommandsTest() { openWindow(); }
    void openWindow() {
        WindowServices s;
        s.prompter = &answers;
        s.dialogPrompter = &answers;
        s.launcher = &launcher;
        s.trash = &trash;
        s.fileManager = &fileManager;
        s.dotsPerInch = 96;
        s.helpOpener = [](const QUrl&) { return true; };
        s.homeFolder = home.str();
        if (!storage)
            storage = std::make_unique<settings::SettingsStorage>(store, dataDir.str(), settings::SettingsEnvironment{});
        s.settings = storage.get();
        w = std::make_unique<TFind>(s);
        w->show();
        ops = w->findChild<WindowFileOps*>();
    }

    // A Find-tab search for "find" in the test folder, rows sorted by name.
    void search() {
        control<QComboBox>(w, "ComboBoxPath")->setEditText(QString::fromStdString(files.str()));
        control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("find"));
        w->FindButtonClick();
        w->listCommands().SortByColumn(0);
        settle();
    }
    void settle() { test::settleBrowsing(*w); }
    void selectRows(std::initializer_list<int> rows) {
        auto* sel = control<QTreeView>(w, "ListView1")->selectionModel();
        sel->clearSelection();
        for (int r : rows)
            sel->select(control<QTreeView>(w, "ListView1")->model()->index(r, 0),
                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        sel->setCurrentIndex(control<QTreeView>(w, "ListView1")->model()->index(*rows.begin(), 0),
                             QItemSelectionModel::NoUpdate);
        settle();
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& r : w->results().rows()) out.push_back(r.name);
        return out;
    }
    void run(Command c) {
        w->listCommands().UpdateListCommands();
        ASSERT_TRUE(w->commands().enabled(c));
        w->commands().trigger(c);
        settle();
    }

    FileCommandAnswers answers;
    platform::FakeLauncher launcher;
    platform::FreedesktopTrash trash;  // the real trash, in this test run's own data folder
    platform::FakeFileManager fileManager;
    platform::MemorySettingsStore store;
    vsr::test::TempDir dataDir, files, home, target;
    std::unique_ptr<settings::SettingsStorage> storage;
    std::unique_ptr<TFind> w;
    WindowFileOps* ops = nullptr;
};

TEST_F(FileCommandsTest, CopyAsksInTheCopyDialogAndRemembersTheFolder) {
    files.write("a.txt", "find a\n");
    files.write("b.txt", "find b\n");
    target.write("a.txt", "old");
    search();
    selectRows({0, 1});
    answers.folder = target.str() + "/";
    std::vector<Shown> asked;
    answers.modal = [&](QDialog& d) {
        EXPECT_EQ(d.objectName(), "TCopyDlg");
        asked.push_back(shownBy(d));
        return kYesToAllResult;
    };
    run(Command::CopyFiles);
    EXPECT_EQ(answers.folderQuestions, (std::vector<std::string>{"Select the directory @ " + home.str()}));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].caption, "Copy Files");
    EXPECT_EQ(asked[0].buttons, (std::vector<std::string>{"Yes", "Skip", "Yes to All", "Cancel"}));
    EXPECT_EQ(asked[0].lines.at(1), "Do you want to replace it?");
    EXPECT_LE(asked[0].labelWidth, 360);
    EXPECT_EQ(vsr::test::readFile(target.path() / "a.txt"), "find a\n");
    EXPECT_EQ(vsr::test::readFile(target.path() / "b.txt"), "find b\n");
    // The list still shows the sources, selected.
    EXPECT_EQ(w->results().selectedCount(), 2u);
    EXPECT_EQ(w->results().row(0).path, files.str());

    // The next copy starts in the folder chosen last; one file gets OK beside Cancel.
    selectRows({0});
    answers.modal = [&](QDialog& d) {
        asked.push_back(shownBy(d));
        return int(QDialog::Rejected);
    };
    run(Command::CopyFiles);
    EXPECT_EQ(answers.folderQuestions.back(), "Select the directory @ " + target.str());
    EXPECT_EQ(asked.back().buttons, (std::vector<std::string>{"OK", "Cancel"}));

    // Cancelling the folder picker forgets the folder.
    answers.folder.clear();
    run(Command::CopyFiles);
    answers.folder = target.str();
    run(Command::CopyFiles);
    EXPECT_EQ(answers.folderQuestions.back(), "Select the directory @ " + home.str());
}

TEST_F(FileCommandsTest, DeleteSendsToTheTrashAndRemovesTheRows) {
    // A name that is not UTF-8 goes as well as any other.
    const std::string odd = "a\xFF.txt";
    for (const std::string& n : {odd, std::string("b.txt"), std::string("c.txt")}) files.write(n, "find\n");
    search();
    selectRows({0, 2});
    std::vector<Shown> asked;
    answers.modal = [&](QDialog& d) {
        asked.push_back(shownBy(d));
        return int(QDialog::Accepted);
    };
    run(Command::DeleteFiles);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].caption, "Confirm Multiple File Delete");
    EXPECT_EQ(asked[0].lines, (std::vector<std::string>{"Are you sure you want to send these 2 files to the Trash?"}));
    EXPECT_EQ(asked[0].buttons, (std::vector<std::string>{"OK", "Cancel"}));
    EXPECT_EQ(names(), (std::vector<std::string>{"b.txt"}));
    EXPECT_EQ(statusPanel(w, 0)->text(), "File in List:   1");
    EXPECT_FALSE(fs::exists(files.path() / odd));
    // The files wait in the trash of this test run's data folder, with their origin recorded.
    const fs::path trashFolder = fs::path(std::getenv("XDG_DATA_HOME")) / "Trash";
    EXPECT_EQ(vsr::test::readFile(trashFolder / "files" / "c.txt"), "find\n");
    EXPECT_NE(vsr::test::readFile(trashFolder / "info" / (odd + ".trashinfo")).find("Path=" + files.str() + "/a%FF.txt\n"),
              std::string::npos);

    // One file is named on three lines; Cancel keeps it and its row.
    selectRows({0});
    answers.modal = [&](QDialog& d) {
        asked.push_back(shownBy(d));
        return int(QDialog::Rejected);
    };
    run(Command::DeleteFiles);
    EXPECT_EQ(asked.back().caption, "Confirm File Delete");
    EXPECT_EQ(asked.back().lines, (std::vector<std::string>{"Are you sure you want to send",
                                                            (files.path() / "b.txt").string(), "to the Trash?"}));
    EXPECT_EQ(names(), (std::vector<std::string>{"b.txt"}));
    EXPECT_TRUE(fs::exists(files.path() / "b.txt"));
}

TEST_F(FileCommandsTest, RenameShowsNewNamesAndDeselectsWhenTheBrowsedFileGotAnotherName) {
    files.write("a.txt", "find\n");
    files.write("b.txt", "find\n");
    search();
    selectRows({0, 1});
    ASSERT_EQ(control<LinesViewer>(w, "ListBox1")->content().browsedName, "a.txt");
    w->commands().setAllowed(Command::Undo, true);
    std::vector<std::string> fields;
    answers.modal = [&](QDialog& d) {
        auto& r = dynamic_cast<TRenameDlg&>(d);
        EXPECT_EQ(r.windowTitle(), "Rename Files");
        // Nothing given: the dialog says so and renames nothing.
        r.OKBtn->click();
        r.Edit3->setText(QStringLiteral("  new_ "));
        r.ExtCheckBox->setChecked(true);
        EXPECT_TRUE(r.Edit5->isEnabled());
        EXPECT_FALSE(r.SpinEdit1->isEnabled());
        r.Edit5->setText(QStringLiteral(".md"));
        r.OKBtn->click();
        fields = {r.Edit3->text().toStdString(), r.Edit5->text().toStdString()};
        return int(QDialog::Accepted);
    };
    run(Command::RenameFiles);
    EXPECT_EQ(answers.messages, (std::vector<std::string>{"Rename Files: Please specify any commands"}));
    EXPECT_EQ(fields, (std::vector<std::string>{"new_", "md"}));
    EXPECT_EQ(names(), (std::vector<std::string>{"new_a.md", "new_b.md"}));
    EXPECT_EQ(w->results().row(0).type, "MD File");
    EXPECT_TRUE(fs::exists(files.path() / "new_a.md"));
    EXPECT_FALSE(w->commands().allowed(Command::Undo));
    EXPECT_EQ(w->results().selectedCount(), 0u);
    EXPECT_FALSE(control<LinesViewer>(w, "ListBox1")->hasLines());

    // The dialog keeps its commands until "Clear Commands".
    auto& dialog = ops->renameDialog();
    EXPECT_EQ(dialog.Edit3->text(), "new_");
    dialog.CancCommButton->click();
    EXPECT_EQ(dialog.commands(), fileops::RenameCommands{});
}

TEST_F(FileCommandsTest, EditStartsTheEditorAtTheSelectedLineAndTheSaveRefillsTheViewerOnce) {
    const fs::path file = files.write("notes.txt", "one\nfind two\nthree\nfind four\n");
    const fs::path editor = home.write("bin/my editor", "#!/bin/sh\n");
    fs::permissions(editor, fs::perms::owner_all);
    search();
    selectRows({0});
    ASSERT_EQ(control<LinesViewer>(w, "ListBox1")->count(), 3);
    control<LinesViewer>(w, "ListBox1")->setCurrentIndex(2);  // " line 4: find four"
    w->settingsDialogs().settings().EditorEdit->setText(
        QString::fromStdString("\"" + editor.string() + "\" -l%NumLine% \"%PrFullName%\" %PrExt%"));
    run(Command::EditFile);
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, editor.string());
    EXPECT_EQ(launcher.started[0].arguments, (std::vector<std::string>{"-l4", file.string(), ".txt"}));
    EXPECT_EQ(launcher.started[0].folder, (home.path() / "bin").string());
    EXPECT_TRUE(ops->watching());

    // The editor saves the file; coming back to the window shows its new lines once.
    files.write("notes.txt", "find one\nfind two\nthree\nfind four\n");
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(3));
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(w.get(), &activate);
    QTRY_COMPARE(control<LinesViewer>(w, "ListBox1")->count(), 4);
    EXPECT_FALSE(ops->watching());

    // A header entry gives line 1; a program that is not there is reported and nothing starts.
    control<LinesViewer>(w, "ListBox1")->setCurrentIndex(0);
    w->settingsDialogs().settings().EditorEdit->setText(QStringLiteral("/no/such/ed +%NumLine% %PrFullName%"));
    run(Command::EditFile);
    EXPECT_EQ(answers.messages, (std::vector<std::string>{"Information: Editor /no/such/ed not found"}));
    EXPECT_EQ(launcher.started.size(), 1u);
}

TEST_F(FileCommandsTest, ExecuteAndOpenDirectoryHandTheFileToTheDesktop) {
    const fs::path file = files.write("a b;$(x).txt", "find\n");
    search();
    selectRows({0});
    run(Command::ExecuteFile);
    EXPECT_EQ(launcher.opened, (std::vector<std::string>{file.string()}));
    EXPECT_TRUE(ops->watching());
    run(Command::OpenDirectory);
    EXPECT_EQ(fileManager.shown, (std::vector<std::string>{file.string()}));

    // A double click on a row opens its file the same way.
    w->listCommands().openRow(0);
    EXPECT_EQ(launcher.opened.size(), 2u);

    fs::remove(file);
    run(Command::ExecuteFile);
    fs::remove_all(files.path());
    run(Command::OpenDirectory);
    EXPECT_EQ(answers.messages, (std::vector<std::string>{"Information: File " + file.string() + " not found",
                                                          "Information: Directory " + files.str() + " not found"}));
    EXPECT_EQ(launcher.opened.size(), 2u);
    EXPECT_EQ(fileManager.shown.size(), 1u);
}

// Runs a Python script that writes into `dir`; the script itself lives elsewhere, so no search
// lists it.
void runPython(const vsr::test::TempDir& scratch, const std::string& script, const std::string& dir) {
    const std::string file = scratch.write("make.py", script).string();
    ASSERT_EQ(std::system(("python3 '" + file + "' '" + dir + "'").c_str()), 0);
}

// Every file under `root` with its bytes, so a refused command can be seen to have changed nothing.
std::map<std::string, std::string> treeOf(const fs::path& root) {
    std::map<std::string, std::string> tree;
    for (const auto& e : fs::recursive_directory_iterator(root))
        tree[e.path().string()] = e.is_regular_file() ? vsr::test::readFile(e.path()) : "<folder>";
    return tree;
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST_F(FileCommandsTest, EveryFileCommandOnAMemberADocumentAndAPlainRow) {
    runPython(home, R"PY(
import sys, io, tarfile, zipfile
d = sys.argv[1]
with tarfile.open(d + "/pack.tar.gz", "w:gz") as t:
    data = b"int find;\nint other;\n"; info = tarfile.TarInfo("src/a.c"); info.size = len(data); info.mtime = 1000000000
    t.addfile(info, io.BytesIO(data))
with zipfile.ZipFile(d + "/memo.docx", "w") as z:
    z.writestr("word/document.xml", '<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">'
               '<w:body><w:p><w:r><w:t>find me</w:t></w:r></w:p></w:body></w:document>')
open(d + "/plain.txt", "w").write("find plain\n")
)PY", files.str());
    control<QCheckBox>(w, "ArchivesCheckBox")->setChecked(true);
    search();
    ASSERT_EQ(names(), (std::vector<std::string>{"a.c", "memo.docx", "plain.txt"}));
    const fs::path editor = home.write("bin/ed", "#!/bin/sh\n");
    fs::permissions(editor, fs::perms::owner_all);
    w->settingsDialogs().settings().EditorEdit->setText(QString::fromStdString(editor.string() + " %PrFullName%"));

    const std::string archive = files.str() + "/pack.tar.gz";
    const std::string member = archive + "/src/a.c";
    struct Case {
        int row;
        std::string file;     // the row's full name
        std::string bytes;    // what opening or copying it gives
        bool member;
    };
    const std::vector<Case> cases = {
        {0, member, "int find;\nint other;\n", true},
        {1, files.str() + "/memo.docx", vsr::test::readFile(files.path() / "memo.docx"), false},
        {2, files.str() + "/plain.txt", "find plain\n", false},
    };
    const auto before = treeOf(files.path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string name = fs::path(c.file).filename().string();
        selectRows({c.row});
        std::vector<std::string> dialogsShown;
        answers.modal = [&](QDialog& d) {
            dialogsShown.push_back(d.windowTitle().toStdString());
            return int(QDialog::Rejected);
        };
        answers.messages.clear();

        // Execute File and Edit File: a member opens as a read-only copy of its own name in the
        // private folder, anything else as itself.
        run(Command::ExecuteFile);
        run(Command::EditFile);
        ASSERT_EQ(launcher.opened.size(), std::size_t(c.row + 1));
        ASSERT_EQ(launcher.started.size(), std::size_t(c.row + 1));
        const std::string opened = launcher.opened.back();
        ASSERT_EQ(launcher.started.back().arguments.size(), 1u);
        const std::string edited = launcher.started.back().arguments[0];
        for (const std::string& handed : {opened, edited}) {
            if (!c.member) {
                EXPECT_EQ(handed, c.file);
                continue;
            }
            EXPECT_EQ(fs::path(handed).filename(), "a.c");
            EXPECT_EQ(fs::path(handed).parent_path().parent_path(), ops->memberCopies().folder());
            EXPECT_EQ(vsr::test::readFile(handed), c.bytes);
            EXPECT_EQ(modeOf(handed), 0400u);
        }
        if (c.member) {
            EXPECT_NE(opened, edited);
        }
        // Only a file of its own can be saved back: a member leaves nothing to watch.
        EXPECT_EQ(ops->watching(), !c.member);

        // Copy Files: the member under its own name, writable, its bytes as packed.
        answers.folder = target.str();
        run(Command::CopyFiles);
        EXPECT_EQ(vsr::test::readFile(target.path() / name), c.bytes);
        EXPECT_TRUE(modeOf((target.path() / name).string()) & S_IWUSR);

        // Delete Files and Rename Files refuse a member before any dialog; other rows get theirs.
        run(Command::DeleteFiles);
        run(Command::RenameFiles);
        if (c.member) {
            const std::string why = ": it is a member of the archive " + archive + ", which is only read, never changed.";
            EXPECT_EQ(answers.messages,
                      (std::vector<std::string>{"Error Deleting File: Cannot delete " + member + why + " No file was deleted.",
                                                "Error Renaming File: Cannot rename " + member + why + " No file was renamed."}));
            EXPECT_TRUE(dialogsShown.empty());
        } else {
            EXPECT_TRUE(answers.messages.empty());
            EXPECT_EQ(dialogsShown, (std::vector<std::string>{"Confirm File Delete", "Rename Files"}));
        }

        // Open Directory: a member's folder is inside its archive; the archive's folder shows it.
        run(Command::OpenDirectory);
        EXPECT_EQ(fileManager.shown.back(), c.member ? archive : c.file);
        if (c.member) {
            EXPECT_EQ(statusPanel(w, 1)->text().toStdString(), "Shown in its folder: the archive " + archive);
        }
        EXPECT_EQ(names(), (std::vector<std::string>{"a.c", "memo.docx", "plain.txt"}));
    }
    EXPECT_EQ(treeOf(files.path()), before);

    // The copies go with the window; a folder a crashed run left is removed at the next start.
    const std::string copies = ops->memberCopies().folder();
    ASSERT_FALSE(copies.empty());
    const fs::path base = fs::path(copies).parent_path();
    w.reset();
    EXPECT_FALSE(fs::exists(copies));
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const fs::path dead = base / (std::string(fileops::kMemberCopiesPrefix) + std::to_string(child) + "-abc123");
    fs::create_directories(dead / "1");
    std::ofstream(dead / "1" / "a.c") << "x";
    openWindow();
    EXPECT_FALSE(fs::exists(dead));
}

TEST_F(FileCommandsTest, StopEndsTheReadOfALargeMemberAtOnce) {
    // One found line and 120 MiB of blank lines, packed beside enough incompressible bytes that
    // the expansion limits let the member be read whole.
    runPython(home, R"PY(
import sys, io, os, tarfile
d = sys.argv[1]
LINES = (b" " * 1023 + b"\n") * 2048
class Lines(io.RawIOBase):
    def __init__(self, n): self.head = b"find\n"; self.n = n; self.at = 0
    def readable(self): return True
    def readinto(self, b):
        k = min(len(b), len(self.head) + self.n, 1 << 20)
        h = self.head[:k]; self.head = self.head[len(h):]
        body = LINES[self.at % 1024:][:k - len(h)]
        b[:k] = h + body; self.n -= len(body); self.at += len(body); return k
n = 120 << 20
with tarfile.open(d + "/big.tar.gz", "w:gz", compresslevel=1) as t:
    pad = os.urandom(1536 * 1024).translate(bytes(range(256)).replace(b"f", b"g").replace(b"F", b"g"))
    info = tarfile.TarInfo("pad.bin"); info.size = len(pad); t.addfile(info, io.BytesIO(pad))
    info = tarfile.TarInfo("big.txt"); info.size = n + 5; t.addfile(info, io.BufferedReader(Lines(n), 1 << 20))
)PY", files.str());
    files.write("other.txt", "find\n");
    control<QCheckBox>(w, "ArchivesCheckBox")->setChecked(true);
    search();
    ASSERT_EQ(names(), (std::vector<std::string>{"big.txt", "other.txt"}));
    const std::string member = files.str() + "/big.tar.gz/big.txt";
    using Clock = std::chrono::steady_clock;
    auto msSince = [](Clock::time_point t) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
    };

    // Unstopped, the Lines Viewer's scan and the copy for Execute File take the whole member.
    selectRows({1});
    Clock::time_point t0 = Clock::now();
    selectRows({0});
    const long long fillMs = msSince(t0);
    ASSERT_EQ(control<LinesViewer>(w, "ListBox1")->count(), 2);
    t0 = Clock::now();
    run(Command::ExecuteFile);
    const long long copyMs = msSince(t0);
    ASSERT_EQ(launcher.opened.size(), 1u);
    EXPECT_EQ(fs::file_size(launcher.opened[0]), (120u << 20) + 5);
    // Stop must end either within a bound well below the time the whole member takes.
    const long long bound = std::min(std::min(fillMs, copyMs) / 4, 250LL);
    if (std::min(fillMs, copyMs) < 600)
        GTEST_SKIP() << "the member was read too fast to stop it midway: " << fillMs << " ms to show, " << copyMs
                     << " ms to copy";

    // Escape during the copy: nothing opens, nothing stays in the private folder, no error box;
    // the status bar says what happened, and the window is free again at once.
    Clock::time_point pressed;
    QTimer::singleShot(60, w.get(), [&] {
        pressed = Clock::now();
        w->findChild<QAction*>(QStringLiteral("StopKey"))->trigger();
    });
    run(Command::ExecuteFile);
    long long afterStop = msSince(pressed);
    EXPECT_LT(afterStop, bound) << "the copy took " << copyMs << " ms unstopped";
    EXPECT_EQ(launcher.opened.size(), 1u);
    EXPECT_TRUE(answers.messages.empty());
    EXPECT_EQ(statusPanel(w, 1)->text().toStdString(), "Stopped: " + member + " was not extracted");
    std::size_t copies = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(ops->memberCopies().folder())) ++copies;
    EXPECT_EQ(copies, 1u);
    EXPECT_FALSE(w->runState().stop);
    EXPECT_TRUE(control<QPushButton>(w, "FindBit")->isEnabled());

    // The Stop button during the Lines Viewer's scan for the member: the fill ends at once, and
    // the row is still a found file, not one "not found".
    selectRows({1});
    LinesBrowser* browser = w->findChild<LinesBrowser*>();
    // The fill pumps the window's messages: a timer among them presses Stop once it has run a while.
    Clock::time_point fillSeen{}, ended{};
    bool clicked = false;
    QTimer poke;
    poke.setInterval(10);
    QObject::connect(&poke, &QTimer::timeout, [&] {
        if (clicked) {
            if (!browser->filling() && ended == Clock::time_point{}) ended = Clock::now();
            return;
        }
        if (!browser->filling()) return;
        if (fillSeen == Clock::time_point{}) {
            fillSeen = Clock::now();
        } else if (msSince(fillSeen) >= 60) {
            clicked = true;
            pressed = Clock::now();
            control<QPushButton>(w, "StopFindBit")->click();
        }
    });
    poke.start();
    selectRows({0});
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended != Clock::time_point{}; }));
    ASSERT_TRUE(clicked);
    afterStop = std::chrono::duration_cast<std::chrono::milliseconds>(ended - pressed).count();
    EXPECT_LT(afterStop, bound) << "the fill took " << fillMs << " ms unstopped";
    EXPECT_TRUE(answers.messages.empty());
    EXPECT_NE(w->results().row(0).status, results::RowStatus::NotFound);
    EXPECT_FALSE(w->runState().stop);
}

TEST(ConfirmDialogs, LongPathsAreShortenedToTheLimitInTheWindowsFont) {
    FileCommandAnswers answers;
    WindowServices s;
    s.prompter = &answers;
    s.dialogPrompter = &answers;
    s.dotsPerInch = 96;
    s.helpOpener = [](const QUrl&) { return true; };
    TFind w(s);
    const std::string longPath = "/" + std::string(300, 'x') + "/tail-name.txt";
    Shown shown;
    answers.modal = [&](QDialog& d) {
        shown = shownBy(d);
        return kSkipResult;
    };
    auto* ops = w.findChild<WindowFileOps*>();
    const fileops::Answer a = ops->dialogs().ask({fileops::Dialog::ReadOnly, "Confirm File Delete",
                                                  {{"The file " + longPath + " is a read-only file.", 360, 12},
                                                   {"Are you sure you want to delete it?"}},
                                                  fileops::Buttons::All});
    EXPECT_EQ(a, fileops::Answer::Skip);
    ASSERT_EQ(shown.lines.size(), 2u);
    EXPECT_EQ(shown.lines[0].rfind("The file /xx...", 0), 0u);
    EXPECT_NE(shown.lines[0].find("tail-name.txt is a read-only file."), std::string::npos);
    EXPECT_LE(QFontMetrics(w.font()).horizontalAdvance(QString::fromStdString(shown.lines[0])), 360);
}

}  // namespace
}  // namespace vsr::ui
