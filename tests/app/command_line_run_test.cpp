// The program run from a shell without a display: "vantixsr PROJECT.vsr -com ..." loads the
// project, searches, modifies every listed file and closes, with its list and report files.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/linux/qt_locale_formats.h"
#include "platform/linux/qt_settings_store.h"
#include "project/project_file.h"
#include "settings/day_number.h"
#include "settings/key_paths.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace vsr::project {
namespace {

namespace fs = std::filesystem;
using vsr::test::readFile;

class CommandLineRunTest : public ::testing::Test {
protected:
    // A project that replaces "hello" by "bye" in the *.txt files of the work folder.
    ProjectValues replaceProject() const {
        ProjectValues v;
        settings::MainOptions& o = v.settings.options;
        v.settings.history.comboBoxPath.text = work.str();
        v.settings.history.masksComboBox.text = "*.txt";
        v.settings.history.searchEdit.text = "hello";
        v.settings.history.edit2.text = "bye";
        o.creatBackupCheckBox = false;
        o.minDateTimePicker = settings::dayNumberFromDate({2025, 1, 1});
        o.maxDateTimePicker = settings::dayNumberFromDate({2026, 1, 1});
        o.nomTab = 2;
        return v;
    }
    std::string writeProject(const ProjectValues& v, const std::string& name = "task.vsr") const {
        platform::QtLocaleFormats dates;
        return work.write(name, projectFileBytes(v, dates)).string();
    }
    // The program in `folder` with no display, no toolkit platform chosen and no input.
    test::ToolRun run(std::vector<std::string> args, const std::string& folder = {},
                      std::vector<std::string> environment = {}) const {
        std::vector<std::string> all = {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM",
                                        "-u", "XDG_RUNTIME_DIR"};
        all.insert(all.end(), environment.begin(), environment.end());
        if (!folder.empty()) all.insert(all.end(), {"-C", folder});
        all.push_back(VSR_PROGRAM);
        all.insert(all.end(), args.begin(), args.end());
        return test::runProgram("/usr/bin/env", all);
    }

    // A project of Multiline search and replace, texts from the switches.
    std::string writeMultilineProject() const {
        ProjectValues v = replaceProject();
        v.settings.options.phraseButtonReplace = false;
        v.settings.options.textSearchButton = true;
        return writeProject(v, "multi.vsr");
    }
    static void chooseEncoding(const char* name) {
        platform::QtSettingsStore store;
        store.writeString(settings::kOptionsKey, "TextEncoding", name);
        ASSERT_TRUE(store.commit());
    }

    vsr::test::TempDir work;
    vsr::test::TempDir out;
};

TEST_F(CommandLineRunTest, ASuccessfulRunModifiesTheFilesWritesTheListAndNoReport) {
    work.write("a.txt", "hello world\n");
    work.write("sub/b.txt", "say hello\n");
    work.write("c.log", "hello\n");
    const std::string project = writeProject(replaceProject());
    const std::string list = out.str() + "/list.lst";
    const std::string report = out.str() + "/report.txt";
    const auto r = run({project, "-com", "-fs=" + list, "-fr=" + report});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(work.path() / "a.txt"), "bye world\n");
    EXPECT_EQ(readFile(work.path() / "sub/b.txt"), "say bye\n");
    EXPECT_EQ(readFile(work.path() / "c.log"), "hello\n");
    const std::string listed = readFile(list);
    EXPECT_EQ(listed.rfind("Command Line: ", 0), 0u) << listed;
    EXPECT_NE(listed.find("\r\n\r\n"), std::string::npos);
    EXPECT_NE(listed.find("a.txt"), std::string::npos);
    EXPECT_FALSE(fs::exists(report));
    // Standard error is the script's: the toolkit's warnings about a missing runtime folder or
    // a platform without windows are no business of it.
    EXPECT_EQ(r.err, "");
}

// Cron and some service managers start programs with descriptors 0 to 2 closed; the run must
// not take a file it opens later for its standard error, nor a write there for a signal.
TEST_F(CommandLineRunTest, ARunWithTheStandardDescriptorsClosedStillRuns) {
    const std::string project = writeProject(replaceProject());
    for (const char* closing : {">&- 2>&-", "<&- >&- 2>&-", "2>&-"}) {
        SCOPED_TRACE(closing);
        work.write("a.txt", "hello\n");
        const auto r = test::runProgram(
            "/usr/bin/env", {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM", "/bin/sh", "-c",
                             std::string("exec \"$0\" \"$@\" ") + closing, VSR_PROGRAM, project, "-com"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(readFile(work.path() / "a.txt"), "bye\n");
    }
}

TEST_F(CommandLineRunTest, WithoutADisplayAStartThatIsNoRunSaysSoAndFails) {
    const std::string project = writeProject(replaceProject());
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {project, "-comx"}, {"-com", project}, {"--HELP"}, {}, {work.str(), "-com"}}) {
        SCOPED_TRACE(args.empty() ? "(none)" : args[0]);
        const auto r = run(args);
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find("vantixsr: cannot open the window: there is no display"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("not found"), std::string::npos) << r.err;  // a folder is no project
    }
}

TEST_F(CommandLineRunTest, BarSeparatedSwitchesKeepAnEmptyLastLine) {
    work.write("a.txt", "hello\nworld\n");
    work.write("b.txt", "hello\n\nend\n");
    const auto r = run({writeMultilineProject(), "-com", "-s2=hello|", "-r2=P||Q|"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(work.path() / "a.txt"), "hello\nworld\n");
    EXPECT_EQ(readFile(work.path() / "b.txt"), "P|Q\n\nend\n");
}

TEST_F(CommandLineRunTest, TextsCountCharactersAndACharacterTheEncodingLacksStopsTheRun) {
    // 2,500 "é" are 5,000 bytes but fit the field's 4,000 characters.
    std::string accents;
    for (int i = 0; i < 2500; ++i) accents += "\xC3\xA9";
    work.write("a.txt", accents + "!\n");
    const std::string project = writeProject(replaceProject());
    const auto r = run({project, "-com", "-s1=" + accents, "-r1=e"}, {}, {"LC_ALL=C.UTF-8"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(work.path() / "a.txt"), "e!\n");

    // "ж" has no place in Windows-1252; its UTF-8 bytes read there are "Ð¶", which must not be
    // what the run replaces.
    chooseEncoding("1252");
    work.write("a.txt", "\xD0\xB6\n");
    const std::string report = out.str() + "/report.txt";
    const auto refused = run({project, "-com", "-s1=\xD0\xB6", "-r1=x", "-fr=" + report}, {}, {"LC_ALL=C.UTF-8"});
    EXPECT_EQ(refused.status, 1) << refused.err;
    EXPECT_EQ(readFile(work.path() / "a.txt"), "\xD0\xB6\n");
    EXPECT_NE(readFile(report).find("(U+0436) cannot be written in the text encoding"), std::string::npos)
        << readFile(report);
    EXPECT_NE(refused.err.find("(U+0436) cannot be written"), std::string::npos) << refused.err;
}

TEST_F(CommandLineRunTest, FilesThatFailedAreNamedAndGiveAStatusOfTheirOwn) {
    work.write("a.txt", "hello\n");
    work.write(".hidden.txt", "hello\n");  // only a run with backups may modify a hidden file
    const std::string report = out.str() + "/report.txt";
    const auto r = run({writeProject(replaceProject()), "-com", "-fr=" + report});
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_EQ(readFile(work.path() / "a.txt"), "bye\n");
    EXPECT_EQ(readFile(work.path() / ".hidden.txt"), "hello\n");
    const std::string named = work.str() + "/.hidden.txt: Failed Modification: it is hidden";
    EXPECT_NE(r.err.find(named), std::string::npos) << r.err;
    EXPECT_NE(readFile(report).find("\r\n\r\n" + named), std::string::npos) << readFile(report);
    EXPECT_EQ(r.err.find("a.txt: Failed"), std::string::npos);
}

// Nobody is there to see a message box: what went wrong goes to standard error and the report,
// and the status says the run failed.
TEST_F(CommandLineRunTest, AListThatCannotBeWrittenOrAFolderThatIsMissingFailsTheRun) {
    work.mkdir("a folder");
    const std::string project = writeProject(replaceProject());
    struct Case {
        std::string argument;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"-fs=/dev/full", "The list could not be written to /dev/full"},
        {"-fs=" + work.str() + "/a folder", "The list could not be written to " + work.str() + "/a folder"},
        {"-fs=" + out.str() + "/none/l.lst", "The list could not be written to " + out.str() + "/none/l.lst"},
        {"-pt=" + out.str() + "/none", "Directory \"" + out.str() + "/none\" not found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        const std::string report = out.str() + "/report.txt";
        fs::remove(report);
        const auto r = run({project, "-com", c.argument, "-fr=" + report});
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_NE(readFile(report).find("\r\n\r\n" + c.message + "\r\n"), std::string::npos) << readFile(report);
    }
}

TEST_F(CommandLineRunTest, ARunStoppedBySigtermWritesItsReportSayingSo) {
    constexpr int kFiles = 1000;
    for (int i = 0; i < kFiles; ++i) work.write("f" + std::to_string(i) + ".txt", "hello\n");
    const std::string project = writeProject(replaceProject());
    const std::string report = out.str() + "/report.txt";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::unsetenv("QT_QPA_PLATFORM");
        const std::string fr = "-fr=" + report;
        ::execl(VSR_PROGRAM, VSR_PROGRAM, project.c_str(), "-com", fr.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // SIGTERM as soon as the program catches it: before the run's end, wherever it is then.
    auto catchesTerm = [child] {
        const std::string status = readFile("/proc/" + std::to_string(child) + "/status");
        const std::size_t at = status.find("SigCgt:");
        return at != std::string::npos &&
               (std::stoull(status.substr(at + 7), nullptr, 16) >> (SIGTERM - 1) & 1) != 0;
    };
    int status = 0;
    pid_t ended = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!catchesTerm() && (ended = ::waitpid(child, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(ended, 0) << "the program ended before it caught SIGTERM";
    ::kill(child, SIGTERM);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(readFile(report).find("\r\n\r\nThe run was stopped before it ended"), std::string::npos)
        << readFile(report);
    int modified = 0;
    for (int i = 0; i < kFiles; ++i) modified += readFile(work.path() / ("f" + std::to_string(i) + ".txt")) == "bye\n";
    EXPECT_LT(modified, kFiles);
}

TEST_F(CommandLineRunTest, SwitchesOverrideTheProjectAndARelativeProjectIsFound) {
    work.write("a.txt", "one|two\nthree\n");
    ProjectValues v = replaceProject();
    v.settings.options.phraseButtonReplace = false;
    v.settings.options.textSearchButton = true;
    writeProject(v, "multi.vsr");
    const auto r = run({"multi.vsr", "-com", "-s2=one||two|three", "-R2=joined", "-MS=*.txt"}, work.str());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(work.path() / "a.txt"), "joined\n");
}

TEST_F(CommandLineRunTest, TextsOfTheCommandLineComeOverFromTheLocaleIntoTheChosenEncoding) {
    // "слово здесь" in Windows-1251, the encoding chosen in the settings; the shell types UTF-8.
    work.write("a.txt", "\xF1\xEB\xEE\xE2\xEE \xE7\xE4\xE5\xF1\xFC\n");
    chooseEncoding("1251");
    const std::string project = writeProject(replaceProject());
    const auto r = run({project, "-com", "-S1=\xD1\x81\xD0\xBB\xD0\xBE\xD0\xB2\xD0\xBE", "-r1=\xD0\xB4\xD0\xB5\xD0\xBB\xD0\xBE"}, {},
                       {"LC_ALL=C.UTF-8"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(work.path() / "a.txt"), "\xE4\xE5\xEB\xEE \xE7\xE4\xE5\xF1\xFC\n");

    // The C locale of a cron job gives bytes above ASCII no meaning: they are searched as they
    // are ("ЂЂ" in 1251), not read as Windows-1252 ("€€", which 1251 holds elsewhere).
    work.write("b.txt", "x\x80\x80y\n");
    const auto c = run({project, "-com", "-s1=\x80\x80", "-r1=ok"}, {}, {"-u", "LANG", "LC_ALL=C"});
    EXPECT_EQ(c.status, 0) << c.err;
    EXPECT_EQ(readFile(work.path() / "b.txt"), "xoky\n");
}

TEST_F(CommandLineRunTest, AnUnknownSwitchModifiesNothingAndIsReported) {
    work.write("a.txt", "hello\n");
    const std::string project = writeProject(replaceProject());
    const std::string report = out.str() + "/report.txt";
    const auto r = run({project, "-com", "-fr=" + report, "-xx=1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(readFile(work.path() / "a.txt"), "hello\n");
    const std::string text = readFile(report);
    EXPECT_EQ(text.rfind("Command Line: ", 0), 0u);
    EXPECT_NE(text.find("\r\n\r\nIncorrect parameter \"-xx=1\"\r\n"), std::string::npos) << text;
}

TEST_F(CommandLineRunTest, NoneInTheProjectSearchesNothing) {
    work.write("a.txt", "hello\n");
    ProjectValues v = replaceProject();
    v.settings.options.replaceButton = false;
    v.settings.options.noneButton = true;
    const std::string report = out.str() + "/report.txt";
    const auto r = run({writeProject(v), "-com", "-fr=" + report, "-fs=" + out.str() + "/l.lst"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(readFile(report).find("Modify Type is \"None\""), std::string::npos);
    EXPECT_FALSE(fs::exists(out.path() / "l.lst"));
    EXPECT_EQ(readFile(work.path() / "a.txt"), "hello\n");
}

TEST_F(CommandLineRunTest, AMissingProjectIsReportedAndNothingRuns) {
    const std::string report = out.str() + "/report.txt";
    const auto r = run({work.str() + "/none.vsr", "-com", "-fr=" + report});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(readFile(report).find("File \"" + work.str() + "/none.vsr\" not found\r\n"), std::string::npos);
    // Nobody could answer its message box: the text went to standard error instead.
    EXPECT_NE(r.err.find("not found"), std::string::npos);
}

TEST_F(CommandLineRunTest, HelpAndVersionNeedNoWindow) {
    const auto help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("-com"), std::string::npos);
    const auto version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("Vantix Search & Replace ", 0), 0u);
}

}  // namespace
}  // namespace vsr::project
