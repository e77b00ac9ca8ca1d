// Folders and projects dropped on the window, and the Project menu's recent projects, kept in
// the settings store across a restart of the window.
#include <filesystem>

#include "settings/recent_projects.h"
#include "ui/prompt/window_prompter.h"
#include "ui/commands/project_commands.h"
#include "ui/commands/recent_projects.h"
#include "ui/window/window_drop.h"
#include "window_fixture.h"

#include <QMimeData>

namespace vsr::ui::test {
namespace {

namespace fs = std::filesystem;

class NamedFiles : public WindowPrompter {
public:
    void messageBox(const std::string&, const std::string&, engine::MessageIcon) override {}
    std::string openFile(const std::string&, const std::string&, const std::string&, const std::string&) override {
        return answer;
    }
    std::string saveFile(const std::string&, const std::string&, const std::string&, const std::string&) override {
        return answer;
    }
    std::string answer;
};

class DropRecentTest : public WindowTest {
protected:
    std::unique_ptr<TFind> makeProjectWindow() {
        WindowServices s;
        s.prompter = &prompter;
        s.dotsPerInch = 96;
        s.helpFolder = QString::fromStdString(helpDir.str());
        s.helpOpener = [](const QUrl&) { return true; };
        s.filePrompter = &fileDialogs;
        s.formats = &dates;
        if (!storage)
            storage = std::make_unique<settings::SettingsStorage>(store, dataDir.str(),
                                                                  windowEnvironment("", "", &dates));
        s.settings = storage.get();
        auto w = std::make_unique<TFind>(s);
        w->show();
        return w;
    }
    // A project whose Path is `path`, saved through the window's Save Project.
    std::string saveProject(TFind& w, const std::string& name, const std::string& path) {
        const QString before = control<QComboBox>(w, "ComboBoxPath")->currentText();
        control<QComboBox>(w, "ComboBoxPath")->setEditText(QString::fromStdString(path));
        fileDialogs.answer = projectsDir.str() + "/" + name;
        w.findChild<QAction*>(QStringLiteral("SaveProject1"))->trigger();
        control<QComboBox>(w, "ComboBoxPath")->setEditText(before);
        return fileDialogs.answer;
    }
    static RecentProjects& recent(TFind& w) { return *w.findChild<RecentProjects*>(); }
    static QStringList menuTexts(TFind& w) {
        QStringList texts;
        for (QAction* a : recent(w).menu()->actions())
            if (!a->isSeparator()) texts << a->text();
        return texts;
    }

    NamedFiles fileDialogs;
    platform::FakeLocaleFormats dates;
    vsr::test::TempDir projectsDir;
};

QMimeData* urls(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> list;
    for (const QString& p : paths) list << (p.contains(QLatin1String("://")) ? QUrl(p) : QUrl::fromLocalFile(p));
    data->setUrls(list);
    return data;
}

// Drags `data` over `target` and drops it there; true when the drag was taken.
bool dragAndDrop(QWidget* target, const QMimeData* data, Qt::DropActions offered = Qt::CopyAction | Qt::LinkAction) {
    QDragEnterEvent enter(QPoint(5, 5), offered, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(5, 5), offered, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents();
    // What the source is told was done with its files: never a move, after which it deletes them.
    EXPECT_NE(drop.dropAction(), Qt::MoveAction);
    return drop.isAccepted();
}

TEST_F(DropRecentTest, AFolderBecomesThePathAndAProjectOpensWhateverControlItIsDroppedOn) {
    const std::string folder = files.mkdir("sub dir").string();
    files.write("notes.txt", "x");
    auto w = makeProjectWindow();
    const std::string project = saveProject(*w, "task.vsr", "/from/project");
    fs::copy_file(project, projectsDir.path() / "UPPER.VSR");
    const std::string start = "/start";
    struct Case {
        const char* what;
        QStringList dropped;
        bool taken;
        std::string path;  // the Path afterwards
    } cases[] = {
        {"a folder", {QString::fromStdString(folder)}, true, folder},
        {"a folder with a final slash", {QString::fromStdString(folder + "/")}, true, folder},
        {"the root folder", {QStringLiteral("/")}, true, "/"},
        {"a project", {QString::fromStdString(project)}, true, "/from/project"},
        {"a project in capitals", {QString::fromStdString(projectsDir.str() + "/UPPER.VSR")}, true, "/from/project"},
        {"a file of another kind", {QString::fromStdString(files.str() + "/notes.txt")}, false, start},
        {"a project that is not there", {QString::fromStdString(projectsDir.str() + "/gone.vsr")}, false, start},
        {"two folders", {QString::fromStdString(folder), QString::fromStdString(files.str())}, false, start},
        {"a remote folder", {QStringLiteral("sftp://host/srv/")}, false, start},
    };
    for (const Case& c : cases) {
        for (QWidget* target :
             {static_cast<QWidget*>(w.get()), static_cast<QWidget*>(control<QComboBox>(w, "ComboBoxPath")->lineEdit()),
              control<QPlainTextEdit>(w, "FindMemo")->viewport()}) {
            SCOPED_TRACE(std::string(c.what) + " on " + target->metaObject()->className());
            control<QComboBox>(w, "ComboBoxPath")->setEditText(QString::fromStdString(start));
            std::unique_ptr<QMimeData> data(urls(c.dropped));
            EXPECT_EQ(dragAndDrop(target, data.get()), c.taken);
            EXPECT_EQ(control<QComboBox>(w, "ComboBoxPath")->currentText().toStdString(), c.path);
        }
    }
    EXPECT_TRUE(prompter.messages.empty());

    // Plain text still goes to the field it is dropped on.
    QMimeData text;
    text.setText(QStringLiteral("typed by drag"));
    control<QPlainTextEdit>(w, "FindMemo")->clear();
    ASSERT_TRUE(dragAndDrop(control<QPlainTextEdit>(w, "FindMemo")->viewport(), &text));
    EXPECT_EQ(control<QPlainTextEdit>(w, "FindMemo")->toPlainText(), QStringLiteral("typed by drag"));
}

TEST_F(DropRecentTest, NothingIsTakenWhileARunOwnsTheWindowOrThePathIsFixed) {
    const std::string folder = files.mkdir("d").string();
    auto w = makeProjectWindow();
    std::unique_ptr<QMimeData> data(urls({QString::fromStdString(folder)}));
    w->mutableState().busy = true;
    EXPECT_FALSE(dragAndDrop(w.get(), data.get()));
    w->mutableState().busy = false;
    control<QComboBox>(w, "ComboBoxPath")->setEnabled(false);
    EXPECT_FALSE(dragAndDrop(w.get(), data.get()));
    control<QComboBox>(w, "ComboBoxPath")->setEnabled(true);
    // A source that offers only to move its folder keeps it.
    EXPECT_FALSE(dragAndDrop(w.get(), data.get(), Qt::MoveAction));
    EXPECT_TRUE(dragAndDrop(w.get(), data.get(), Qt::MoveAction | Qt::LinkAction));
    EXPECT_TRUE(dragAndDrop(w.get(), data.get()));
}

TEST_F(DropRecentTest, ADroppedProjectThatIsIncorrectSaysSoAsOpenProjectDoes) {
    const std::string bad = projectsDir.write("bad.vsr", "/p\r\nnot a count\r\n").string();
    auto w = makeProjectWindow();
    std::unique_ptr<QMimeData> data(urls({QString::fromStdString(bad)}));
    ASSERT_TRUE(dragAndDrop(w.get(), data.get()));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Incorrect project file");
    EXPECT_TRUE(recent(*w).paths().empty());
}

TEST_F(DropRecentTest, OpenedSavedAndDroppedProjectsGoToTheTopOnceEachAndSurviveARestart) {
    std::vector<std::string> expected;
    {
        auto w = makeProjectWindow();
        EXPECT_FALSE(recent(*w).menu()->isEnabled());
        std::vector<std::string> saved;
        for (int i = 0; i < 10; ++i) saved.push_back(saveProject(*w, "p" + std::to_string(i) + ".vsr", "/p"));
        // Saved last is first; ten saves keep eight.
        ASSERT_EQ(recent(*w).paths().size(), std::size_t(settings::kRecentProjectsKept));
        EXPECT_EQ(recent(*w).paths().front(), saved[9]);
        EXPECT_EQ(recent(*w).paths().back(), saved[2]);
        // Opened through the dialog, by a spelling of its own, it moves up and is listed once.
        fileDialogs.answer = projectsDir.str() + "/./p5.vsr";
        w->findChild<QAction*>(QStringLiteral("OpenProject1"))->trigger();
        // Dropped, likewise.
        std::unique_ptr<QMimeData> data(urls({QString::fromStdString(saved[3])}));
        ASSERT_TRUE(dragAndDrop(w.get(), data.get()));
        expected = {saved[3], saved[5], saved[9], saved[8], saved[7], saved[6], saved[4], saved[2]};
        EXPECT_EQ(recent(*w).paths(), expected);
        EXPECT_TRUE(prompter.messages.empty());
    }
    auto w = makeProjectWindow();
    EXPECT_EQ(recent(*w).paths(), expected);
    const QStringList texts = menuTexts(*w);
    ASSERT_EQ(texts.size(), 9);
    EXPECT_EQ(texts[0], QStringLiteral("&1  ") + QString::fromStdString(expected[0]));
    EXPECT_EQ(texts[7], QStringLiteral("&8  ") + QString::fromStdString(expected[7]));
    EXPECT_EQ(texts[8], QStringLiteral("&Clear Recent Projects"));
    EXPECT_TRUE(recent(*w).menu()->isEnabled());
}

TEST_F(DropRecentTest, AnEntryOpensItsProjectAndOneWhoseFileIsGoneIsReportedAndLeavesTheList) {
    auto w = makeProjectWindow();
    const std::string first = saveProject(*w, "first.vsr", "/first");
    const std::string second = saveProject(*w, "a&b.vsr", "/second");
    EXPECT_EQ(menuTexts(*w)[0], QStringLiteral("&1  ") + QString::fromStdString(projectsDir.str() + "/a&&b.vsr"));
    // The second entry, as the keyboard picks it.
    recent(*w).menu()->actions()[1]->trigger();
    EXPECT_EQ(control<QComboBox>(w, "ComboBoxPath")->currentText(), QStringLiteral("/first"));
    EXPECT_EQ(recent(*w).paths(), (std::vector<std::string>{first, second}));

    fs::remove(second);
    recent(*w).openRecent(1);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "File \"" + second + "\" not found");
    EXPECT_EQ(recent(*w).paths(), std::vector<std::string>{first});
    EXPECT_EQ(storage->loadRecentProjects(), std::vector<std::string>{first});

    // An incorrect file is still the user's project: it stays where it was.
    projectsDir.write("first.vsr", "/p\r\nnot a count\r\n");
    saveProject(*w, "other.vsr", "/o");
    recent(*w).openRecent(1);
    EXPECT_EQ(prompter.messages.back().text, "Incorrect project file");
    EXPECT_EQ(recent(*w).paths().back(), first);

    recent(*w).clear();
    EXPECT_TRUE(storage->loadRecentProjects().empty());
    EXPECT_FALSE(recent(*w).menu()->isEnabled());
}

}  // namespace
}  // namespace vsr::ui::test
