// The command line read when the window starts: argument 1 as a folder or a project.
#include "support/temp_dir.h"
#include "ui/commands/command_line_session.h"
#include "ui/commands/project_commands.h"
#include "window_fixture.h"

namespace vsr::ui::test {
namespace {

class CommandLineSessionTest : public WindowTest {
protected:
    // The window started with `arguments` (from argument 1 on), as main() starts it.
    std::unique_ptr<TFind> startWith(std::vector<std::string> arguments) {
        auto w = makeWindow(96, true);
        auto* session = new CommandLineSession(*w, commandLinePrompter, std::move(arguments), "vantixsr ...");
        session->start();
        return w;
    }
    CommandLinePrompter commandLinePrompter{&prompter, false};
    vsr::test::TempDir projects;
};

TEST_F(CommandLineSessionTest, AFolderAsArgumentOneIsWhereToSearch) {
    files.mkdir("sub dir");
    for (const std::string& given : {files.str() + "/sub dir/", files.str() + "/sub dir/../sub dir"}) {
        SCOPED_TRACE(given);
        prompter.messages.clear();
        auto w = startWith({given, "-com"});
        EXPECT_EQ(control<QComboBox>(w, "ComboBoxPath")->currentText().toStdString(), files.str() + "/sub dir");
        EXPECT_TRUE(prompter.messages.empty());  // not taken for a missing project
    }
}

// The loader's two messages: a file that is not there is a warning, one that is not a project
// an error, with the error box's icon as elsewhere.
TEST_F(CommandLineSessionTest, TheProjectLoadersMessagesHaveTheirIcons) {
    const std::string bad = projects.write("bad.vsr", "/p\r\nnot a count\r\n").string();
    const std::string missing = projects.str() + "/none.vsr";
    struct Case {
        std::string file, text;
        engine::MessageIcon icon;
    };
    for (const Case& c : {Case{bad, "Incorrect project file", engine::MessageIcon::Error},
                          Case{missing, "File \"" + missing + "\" not found", engine::MessageIcon::Exclamation}}) {
        SCOPED_TRACE(c.file);
        prompter.messages.clear();
        auto w = startWith({c.file});
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].text, c.text);
        EXPECT_EQ(prompter.messages[0].icon, c.icon);
    }
}


// A project opened by the desktop (a double-click starts the program with it) is a recent
// project; one a -com run reads is not.
TEST_F(CommandLineSessionTest, AProjectOpenedAtStartIsARecentProjectUnlessItRunsUnattended) {
    const std::string opened = projects.str() + "/opened.vsr", run = projects.str() + "/run.vsr";
    {
        auto w = makeWindow(96, true);
        for (const std::string& file : {opened, run}) ASSERT_TRUE(w->findChild<ProjectCommands*>()->saveProjectTo(file));
    }
    startWith({opened});
    startWith({run, "-com"});
    EXPECT_EQ(storage->loadRecentProjects(), std::vector<std::string>{opened});
    EXPECT_TRUE(prompter.messages.empty());
}

}  // namespace
}  // namespace vsr::ui::test
