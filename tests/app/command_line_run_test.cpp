// The program run from a shell without a display: "vantixsr PROJECT.vsr -com ..." loads the
// project, searches, modifies every listed file and closes, with its list and report files.
#include <gtest/gtest.h>

#include <filesystem>

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
        std::vector<std::string> all = {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM"};
        all.insert(all.end(), environment.begin(), environment.end());
        if (!folder.empty()) all.insert(all.end(), {"-C", folder});
        all.push_back(VSR_PROGRAM);
        all.insert(all.end(), args.begin(), args.end());
        return test::runProgram("/usr/bin/env", all);
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
    platform::QtSettingsStore store;
    store.writeString(settings::kOptionsKey, "TextEncoding", "1251");
    ASSERT_TRUE(store.commit());
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
