// Menus, pop-up menus and their shortcuts; commands that other parts carry out; help and about.
#include "ui/dialogs/about_form.h"
#include "regexpr/vx_regex_error.h"
#include "ui/common/help_topics.h"
#include "window_fixture.h"

namespace vsr::ui::test {
namespace {

QAction* action(TFind& w, const char* name) { return w.findChild<QAction*>(QString::fromLatin1(name)); }

TEST_F(WindowTest, MainMenuEntriesHaveTheirCaptionsAndKeys) {
    auto w = makeWindow();
    const struct {
        const char* name;
        const char* caption;
        const char* key;
    } entries[] = {
        {"GoTo2", "&Execute File ", "F9"},       {"FileEditOperation", "Edit &File ", "F4"},
        {"BatchReplace1", "Batch Replace", "Shift+F1"}, {"FileCommands1", "&Select", ""},
        {"SelectAll", "Select &All", "Ctrl+A"},   {"Deselect1", "&Deselect", ""},
        {"CopyFiles1", "&Copy Files", "F5"},      {"RenameFiles", "&Rename Files", "Ctrl+F6"},
        {"DeleteFiles1", "D&elete Files", "F8"},  {"OpenDirectory", "Open Directory", "F10"},
        {"EraseBackup1", "Erase &Backups", ""},   {"Settings", "Settin&gs", "F6"},
        {"Exit1", "E&xit", "Ctrl+Q"},             {"CreateReport", "Create &Report", "F7"},
        {"BrowseContext1", "Browse &Context", "F3"}, {"SaveList1", "&Save List", "F2"},
        {"SaveView", "Save &Lines", "F12"},       {"OpenProject1", "&Open Project", "Ctrl+F5"},
        {"Contents1", "&Contents", "F1"},         {"About1", "&About", ""},
    };
    for (const auto& e : entries) {
        QAction* a = action(*w, e.name);
        ASSERT_NE(a, nullptr) << e.name;
        EXPECT_EQ(a->text().toStdString(), e.caption) << e.name;
        EXPECT_EQ(a->shortcut().toString().toStdString(), e.key) << e.name;
        EXPECT_TRUE(a->isVisible()) << e.name;
    }
    // Rename Files owns Ctrl+F6; Save Project only shows it, so the key is never ambiguous.
    QAction* saveProject = action(*w, "SaveProject1");
    ASSERT_NE(saveProject, nullptr);
    EXPECT_EQ(saveProject->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_TRUE(saveProject->text().endsWith(QStringLiteral("Ctrl+F6")));
    EXPECT_TRUE(action(*w, "OpenProject1")->shortcuts().contains(QKeySequence(QStringLiteral("Ctrl+O"))));
    EXPECT_NE(w->findChild<QMenu*>(QStringLiteral("ModifyInterval1")), nullptr);
    EXPECT_NE(w->findChild<QMenu*>(QStringLiteral("ListPopupMenu")), nullptr);
    EXPECT_NE(w->findChild<QMenu*>(QStringLiteral("LinesPopupMenu")), nullptr);
}

TEST_F(WindowTest, NoTwoActionsShareAKey) {
    // Qt drops a key that two live actions of one window share, so each must be unique.
    auto w = makeWindow();
    std::map<QString, QString> owner;
    for (QAction* a : w->findChildren<QAction*>())
        for (const QKeySequence& key : a->shortcuts()) {
            const auto [it, fresh] = owner.emplace(key.toString(), a->objectName());
            EXPECT_TRUE(fresh) << key.toString().toStdString() << ": " << it->second.toStdString() << " and "
                               << a->objectName().toStdString();
        }
    for (const char* key : {"Ctrl+O", "Ctrl+S", "Ctrl+Q", "Esc"})
        EXPECT_EQ(owner.count(QString::fromLatin1(key)), 1u) << key;
}

TEST_F(WindowTest, TheDesktopsUsualKeysReachTheirCommands) {
    auto w = makeWindow();
    std::vector<Command> triggered;
    for (Command c : {Command::OpenProject, Command::SaveProject}) {
        w->commands().setHandler(c, [&triggered, c] { triggered.push_back(c); });
        w->commands().setAllowed(c, true);
    }
    // From a field of the window: the keys are not the fields' own.
    control<QComboBox>(w, "FindEditComboBox")->lineEdit()->setFocus();
    QTest::keyClick(control<QComboBox>(w, "FindEditComboBox")->lineEdit(), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(control<QComboBox>(w, "FindEditComboBox")->lineEdit(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(triggered, (std::vector<Command>{Command::OpenProject, Command::SaveProject}));
    EXPECT_TRUE(control<QComboBox>(w, "FindEditComboBox")->currentText().isEmpty());
    // Escape at rest is no command: it stays with the controls.
    ASSERT_NE(action(*w, "StopKey"), nullptr);
    EXPECT_FALSE(action(*w, "StopKey")->isEnabled());
    QTest::keyClick(control<QComboBox>(w, "FindEditComboBox")->lineEdit(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->isVisible(); }));
}

TEST_F(WindowTest, ACommandIsEnabledOnlyWhenAllowedAndBuilt) {
    auto w = makeWindow();
    CommandSet& c = w->commands();
    QAction* open = action(*w, "OpenProject1");
    c.setHandler(Command::OpenProject, {});
    c.setAllowed(Command::OpenProject, true);
    EXPECT_FALSE(open->isEnabled());  // nothing carries it out
    int opened = 0;
    c.setHandler(Command::OpenProject, [&] { ++opened; });
    EXPECT_TRUE(open->isEnabled());
    open->trigger();
    EXPECT_EQ(opened, 1);
    c.setAllowed(Command::OpenProject, false);
    EXPECT_FALSE(open->isEnabled());
    c.trigger(Command::OpenProject);
    EXPECT_EQ(opened, 1);
}

TEST_F(WindowTest, CreateReportIsOffOnTheOptionsTab) {
    auto w = makeWindow();
    w->commands().setHandler(Command::CreateReport, [] {});
    emit control<QMenu>(w, "Report1")->aboutToShow();
    EXPECT_TRUE(control<QAction>(w, "CreateReport")->isEnabled());
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "OptionsTab"));
    emit control<QMenu>(w, "Report1")->aboutToShow();
    EXPECT_FALSE(control<QAction>(w, "CreateReport")->isEnabled());
}

TEST_F(WindowTest, CommandsOnLinesFollowTheSelectedRow) {
    files.write("a.txt", "alpha\n");
    auto w = makeWindow();
    for (Command c : {Command::EditFile, Command::ExecuteFile, Command::SaveList})
        w->commands().setHandler(c, [] {});
    EXPECT_FALSE(control<QToolButton>(w, "FileEditSpeed")->isEnabled());
    EXPECT_FALSE(control<QAction>(w, "SaveList1")->isEnabled());
    control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("alpha"));
    search(*w, files.str());
    EXPECT_TRUE(control<QAction>(w, "SaveList1")->isEnabled());
    EXPECT_TRUE(control<QToolButton>(w, "FileEditSpeed")->isEnabled());
    EXPECT_TRUE(control<QToolButton>(w, "GotoSpeedButton")->isEnabled());
    // Choosing Multiline on the Find tab changes the query of the list's rows: their lines go.
    control<QRadioButton>(w, "TextButton")->click();
    EXPECT_FALSE(control<QToolButton>(w, "FileEditSpeed")->isEnabled());
    EXPECT_EQ(w->results().firstSelected(), -1);
    // Hide List switches the list commands off.
    control<QRadioButton>(w, "PhraseButton")->click();
    control<QPushButton>(w, "ClearFindBit")->click();
    EXPECT_FALSE(control<QAction>(w, "SaveList1")->isEnabled());
}

TEST_F(WindowTest, AboutAndHelpGoThroughTheirServices) {
    helpDir.write("Intro.htm", "<html></html>");
    helpDir.write("Manual/Settings.htm", "<html></html>");
    auto w = makeWindow();
    control<QAction>(w, "About1")->trigger();
    EXPECT_EQ(prompter.abouts, 1);
    control<QAction>(w, "Contents1")->trigger();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].isLocalFile());
    EXPECT_TRUE(opened[0].toLocalFile().endsWith(QStringLiteral("/Intro.htm")));
    const QUrl anchor = w->help().url(QStringLiteral("Manual/Settings.htm#IgnoreLists"));
    EXPECT_EQ(anchor.fragment(), QStringLiteral("IgnoreLists"));
    EXPECT_TRUE(anchor.toLocalFile().endsWith(QStringLiteral("/Manual/Settings.htm")));
    // A missing page is reported instead of opening nothing.
    EXPECT_TRUE(w->help().url(QStringLiteral("Manual/BatchReplace.htm")).isEmpty());
    EXPECT_TRUE(w->help().url(QStringLiteral("../outside.htm")).isEmpty());
}

TEST_F(WindowTest, HelpOnARegExprQueryOpensTheExpressionSyntax) {
    helpDir.write("Intro.htm", "<html></html>");
    helpDir.write("Manual/RegExpr.htm", "<html></html>");
    auto w = makeWindow();
    auto openedPage = [&] {
        opened.clear();
        control<QAction>(w, "Contents1")->trigger();
        return opened.size() == 1 ? opened[0].toLocalFile() : QString();
    };
    EXPECT_FALSE(control<QRadioButton>(w, "RegExpFind")->toolTip().isEmpty());
    control<QRadioButton>(w, "RegExpFind")->click();
    control<QRadioButton>(w, "RegExpFind")->setFocus();
    EXPECT_TRUE(openedPage().endsWith(QStringLiteral("/Manual/RegExpr.htm")));
    control<QPlainTextEdit>(w, "FindMemo")->setFocus();
    EXPECT_TRUE(openedPage().endsWith(QStringLiteral("/Manual/RegExpr.htm")));
    // The same field under another query type, or the focus elsewhere, keeps the contents.
    control<QRadioButton>(w, "PhraseButton")->click();
    control<QComboBox>(w, "FindEditComboBox")->setFocus();
    EXPECT_TRUE(openedPage().endsWith(QStringLiteral("/Intro.htm")));
    control<QRadioButton>(w, "RegExpFind")->click();
    control<QComboBox>(w, "MasksComboBox")->setFocus();
    EXPECT_TRUE(openedPage().endsWith(QStringLiteral("/Intro.htm")));
}

TEST_F(WindowTest, MissingHelpPagesGiveAMessage) {
    auto w = makeWindow();
    control<QAction>(w, "Contents1")->trigger();
    EXPECT_TRUE(opened.empty());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, "Vantix Search & Replace");
}

TEST_F(WindowTest, TheShippedHelpPagesHaveEveryTopic) {
    const QString folder = HelpTopics::findFolder();
    ASSERT_FALSE(folder.isEmpty());
    HelpTopics help(folder, [](const QUrl&) { return true; });
    for (const char* topic : {"Intro.htm", "Manual/Settings.htm", "Manual/BatchReplace.htm", kRegExprHelpTopic})
        EXPECT_FALSE(help.url(QString::fromLatin1(topic)).isEmpty()) << topic;
    QFile intro(folder + QStringLiteral("/Intro.htm"));
    ASSERT_TRUE(intro.open(QIODevice::ReadOnly));
    EXPECT_TRUE(intro.readAll().contains("href=\"Manual/RegExpr.htm\""));
    // The syntax page explains every message the engine can give, as the user sees it.
    QFile syntax(folder + QLatin1Char('/') + QString::fromLatin1(kRegExprHelpTopic));
    ASSERT_TRUE(syntax.open(QIODevice::ReadOnly));
    const QByteArray page = syntax.readAll().replace("&amp;", "&");
    for (int code = 1; code < 1100; ++code) {
        const std::string text = regexpr::errorText(code);
        if (text == "Unknown error") continue;
        EXPECT_TRUE(page.contains(QByteArray::fromStdString(text.substr(16)))) << code << " " << text;
    }
    QFile settings(folder + QStringLiteral("/Manual/Settings.htm"));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().contains("id=\"IgnoreLists\""));
}

TEST_F(WindowTest, TheAboutBoxNamesTheProgram) {
    TAboutForm about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About"));
    auto* name = about.findChild<QLabel*>(QStringLiteral("ProductName"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), QStringLiteral("Vantix Search & Replace"));
    EXPECT_TRUE(about.findChild<QLabel*>(QStringLiteral("Version"))->text().startsWith(QStringLiteral("Version ")));
    auto* ok = about.findChild<QPushButton*>(QStringLiteral("OKButton"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
}

}  // namespace
}  // namespace vsr::ui::test
