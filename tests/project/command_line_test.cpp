#include <gtest/gtest.h>

#include <functional>

#include "fake_window.h"
#include "project/bar_lines.h"
#include "project/command_line.h"

namespace vsr::project {
namespace {

using test::FakeWindow;
using test::validFields;
using Args = std::vector<std::string>;

TEST(CommandLineSwitches, NamesIgnoreCaseAndValuesStayAsWritten) {
    const Switch s = splitSwitch("  -S1=Hello World");
    EXPECT_EQ(s.name, "-s1=");
    EXPECT_EQ(s.value, "Hello World");
    CommandLineState state;
    RunSwitches r = readRunSwitches({"p.vsr", "-S1=Hello", "-s1=", "-pt=/a", "-PT=/b", "-x"}, state);
    EXPECT_EQ(r.searchEdit, "Hello");
    EXPECT_EQ(r.path, "/b");
    EXPECT_EQ(r.incorrect, (Args{"Incorrect parameter \"-s1=\"", "Incorrect parameter \"-x\""}));
    // Reading stops at the first empty argument.
    r = readRunSwitches({"p.vsr", "-ms=*.c", "  ", "-bogus"}, state);
    EXPECT_EQ(r.masks, "*.c");
    EXPECT_TRUE(r.incorrect.empty());
}

TEST(CommandLineSwitches, BarsSeparateLinesAndDoubleBarsAreOneBar) {
    EXPECT_EQ(splitBarLines("a||b|c"), (Args{"a|b", "c"}));
    EXPECT_EQ(splitBarLines("a|"), (Args{"a", ""}));
    EXPECT_EQ(splitBarLines("a|||b"), (Args{"a|", "b"}));
    EXPECT_EQ(splitBarLines("plain"), (Args{"plain"}));
    // A multi-line field's final line feed ends its last line, so an empty last line needs one
    // of its own; the window reads these texts back as exactly the split lines.
    const std::vector<std::pair<std::string, std::string>> memoTexts = {
        {"a", "a"}, {"a|b", "a\nb"}, {"a|", "a\n\n"}, {"P||Q|", "P|Q\n\n"}, {"a||", "a|"},
        {"|", "\n\n"}, {"a||||", "a||"}, {"a|||", "a|\n\n"}, {"", ""}};
    for (const auto& [value, memo] : memoTexts) EXPECT_EQ(barLinesText(value), memo) << value;
}

TEST(CommandLineStartup, NotesCommandModeOnlyForTheExactSwitch) {
    CommandLineState s;
    s.CommandLineError = true;
    StartupScan scan = scanStartup({"p.vsr", "-comx", "-com=1"}, "vantixsr p.vsr -comx -com=1", s);
    EXPECT_FALSE(scan.commandMode);
    EXPECT_FALSE(s.CommandLineError);  // reset
    EXPECT_TRUE(s.RunPending);
    scan = scanStartup({"p.vsr", " -COM ", "-shr", "-fr=/tmp/r.txt", "-fr="}, "the line", s);
    EXPECT_TRUE(scan.commandMode);
    EXPECT_FALSE(s.CommandMode);  // taken on only after the project is loaded
    EXPECT_TRUE(s.ShowMessages);
    EXPECT_TRUE(s.LogEnabled);
    EXPECT_EQ(s.ReportFileName, "/tmp/r.txt");
    EXPECT_EQ(s.log, (Args{"Command Line: the line", ""}));
}

TEST(CommandLineStartup, PathFormTakesTheTextAfterTheSeparatorAndNothingElse) {
    CommandLineState s;
    StartupScan scan = scanStartup({"-PATH=/home/me/Work dir", "-com", "-fr=x"}, "", s);
    EXPECT_TRUE(scan.first.pathForm);
    EXPECT_EQ(scan.first.path, "/home/me/Work dir");
    EXPECT_FALSE(scan.commandMode);
    EXPECT_FALSE(s.LogEnabled);
    // A switch as argument 1 is a project file name.
    scan = scanStartup({"-com"}, "", s);
    EXPECT_FALSE(scan.first.pathForm);
    EXPECT_EQ(scan.first.projectFile, "-com");
}

TEST(CommandLineStartup, AFolderAsArgumentOneIsThePathAndNothingRuns) {
    const FolderTest folders = [](const std::string& name) { return name.starts_with("/srv/work"); };
    CommandLineState s;
    StartupScan scan = scanStartup({"/srv/work/", "-com", "-fr=r.txt"}, "", s, folders);
    EXPECT_TRUE(scan.first.pathForm);
    EXPECT_EQ(scan.first.path, "/srv/work");
    EXPECT_FALSE(scan.commandMode);
    EXPECT_FALSE(s.LogEnabled);
    scan = scanStartup({"/srv/work/a/../b"}, "", s, folders);
    EXPECT_EQ(scan.first.path, "/srv/work/b");
    // Anything else is still a project, also without a test for folders.
    scan = scanStartup({"/srv/p.vsr", "-com"}, "", s, folders);
    EXPECT_FALSE(scan.first.pathForm);
    EXPECT_TRUE(scan.commandMode);
    EXPECT_FALSE(scanStartup({"/srv/work"}, "", s).first.pathForm);
}

TEST(CommandLineValidation, ReportsEveryFailingCheckInOrder) {
    RunFields f;
    f.searchType = engine::SearchType::Phrase;
    EXPECT_EQ(validateRunFields(f), (Args{"Please specify the Path", "Please specify the Mask",
                                          "Modify Type is \"None\"", "Please specify the string to search"}));
    f = validFields();
    f.searchMemo = "filled";
    f.searchEdit.clear();
    EXPECT_EQ(validateRunFields(f), Args{"Please specify the string to search"});
    f = validFields();
    f.searchType = engine::SearchType::Multiline;
    f.searchMemo = "ok\n" + std::string(1001, 'x');
    f.memo2 = std::string(1001, 'y') + "\n" + std::string(1001, 'y');
    EXPECT_EQ(validateRunFields(f), (Args{"The lines are too long for the To Search field",
                                          "The lines are too long for the To Replace or Insert field"}));
    // Clear and Delete need no replacement.
    f = validFields();
    f.edit2.clear();
    f.modificationType = engine::ModificationType::Delete;
    EXPECT_TRUE(validateRunFields(f).empty());
    f.modificationType = engine::ModificationType::InsertAfter;
    EXPECT_EQ(validateRunFields(f), Args{"Please specify the string to replace or insert"});
    f.edit2 = std::string(4001, 'z');
    EXPECT_EQ(validateRunFields(f), Args{"The string is too long for the To Replace or Insert field"});
}

// The limits are the fields' own, in characters: text past them in bytes but not in characters
// (two bytes for "é", three for "€", four for an emoji) passes.
TEST(CommandLineValidation, LengthsCountCharactersNotBytes) {
    auto times = [](std::string_view s, std::size_t n) {
        std::string out;
        for (std::size_t i = 0; i < n; ++i) out += s;
        return out;
    };
    struct Case {
        std::string oneLine;
        std::string line;
        bool tooLong;
    };
    const std::vector<Case> cases = {
        {times("\xC3\xA9", 2500), times("\xE2\x82\xAC", 1000), false},
        {times("\xF0\x9F\x98\x80", 4000), times("\xC3\xA9", 1000), false},
        {times("\xC3\xA9", 4001), times("\xC3\xA9", 1001), true},
        {std::string(4001, 'a'), std::string(1001, 'a'), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.oneLine.size());
        RunFields f = validFields();
        f.searchEdit = f.edit2 = c.oneLine;
        const Args phrase = validateRunFields(f);
        EXPECT_EQ(phrase.size(), c.tooLong ? 2u : 0u);
        f.searchType = engine::SearchType::Multiline;
        f.searchMemo = f.memo2 = "short\n" + c.line;
        const Args lines = validateRunFields(f);
        EXPECT_EQ(lines.size(), c.tooLong ? 2u : 0u);
    }
}

class CommandLineRunTest : public ::testing::Test {
protected:
    // Start-up as the window does it, with a project that loaded.
    CommandLineRun start(Args args) {
        CommandLineRun run(std::move(args), "vantixsr p.vsr ...");
        run.enterCommandMode(run.startup());
        return run;
    }
    FakeWindow w;
};

TEST_F(CommandLineRunTest, ASuccessfulRunSearchesModifiesSavesTheListAndCloses) {
    w.fields = validFields();
    CommandLineRun run = start({"p.vsr", "-com", "-s1=Hello", "-r1=Bye", "-fs=/out/list.lst", "-fr=/out/r.txt"});
    EXPECT_FALSE(run.idle(w));
    EXPECT_EQ(w.calls, (Args{"tab", "search", "idle", "modify", "list /out/list.lst / vantixsr p.vsr ...", "close"}));
    EXPECT_EQ(w.pairsSearched.front(), (std::pair<std::string, std::string>{"Hello", "Bye"}));
    EXPECT_TRUE(run.state().ListFileName.empty());
    EXPECT_FALSE(run.reportFile());  // success writes no report
    EXPECT_EQ(run.exitStatus(), 0);
    // The run happens once.
    EXPECT_FALSE(run.idle(w));
    EXPECT_EQ(w.searches, 1);
}

TEST_F(CommandLineRunTest, AnUnknownSwitchStopsTheRunBeforeTheSearchAndIsReported) {
    w.fields = validFields();
    CommandLineRun run = start({"p.vsr", "-com", "-fr=/out/r.txt", "-zz=1", "-comx"});
    EXPECT_TRUE(run.idle(w));
    EXPECT_EQ(w.searches, 0);
    EXPECT_TRUE(w.shown.empty());  // no -shr: no message box
    ASSERT_TRUE(run.reportFile());
    EXPECT_EQ(run.reportFile()->first, "/out/r.txt");
    EXPECT_EQ(run.reportFile()->second, "Command Line: vantixsr p.vsr ...\r\n\r\n"
                                        "Incorrect parameter \"-zz=1\"\r\nIncorrect parameter \"-comx\"\r\n");
    EXPECT_EQ(run.exitStatus(), 1);
}

TEST_F(CommandLineRunTest, NoneInTheProjectIsReportedAndNothingIsSearched) {
    w.fields = validFields();
    w.fields.modificationType = engine::ModificationType::None;
    CommandLineRun run = start({"p.vsr", "-com", "-shr"});
    EXPECT_TRUE(run.idle(w));
    EXPECT_EQ(w.shown, Args{"Modify Type is \"None\""});
    EXPECT_EQ(w.searches, 0);
    EXPECT_TRUE(w.stop);
    EXPECT_FALSE(run.reportFile());  // no -fr=
}

TEST_F(CommandLineRunTest, MultiLineSwitchesFillTheMemosByTheBarRule) {
    w.fields = validFields();
    w.fields.searchType = engine::SearchType::Multiline;
    CommandLineRun run = start({"p.vsr", "-com", "-s2=a||b|c", "-r2=x|"});
    EXPECT_FALSE(run.idle(w));
    EXPECT_EQ(w.pairsSearched.front(), (std::pair<std::string, std::string>{"a|b\nc", "x\n\n"}));
}

TEST_F(CommandLineRunTest, AStopDuringTheSearchLeavesTheWindowOpenWithoutModifyingOrSaving) {
    w.fields = validFields();
    w.duringSearch = [](FakeWindow& f) { f.stop = f.intervened = true; };
    CommandLineRun run = start({"p.vsr", "-com", "-fs=/out/l.lst"});
    EXPECT_FALSE(run.idle(w));
    EXPECT_EQ(w.calls, (Args{"tab", "search", "deselect"}));
    EXPECT_FALSE(w.closed);
}

// A run cut short leaves files unmodified that the caller asked for: never a success, whether
// Stop, SIGTERM or SIGINT ended it, during the search or the modification, or before it began.
TEST_F(CommandLineRunTest, ARunCutShortEndsTheProgramWithAFailure) {
    w.fields = validFields();
    w.duringModify = [](FakeWindow& f) { f.stop = f.intervened = true; };
    CommandLineRun modifying = start({"p.vsr", "-com"});
    EXPECT_FALSE(modifying.idle(w));
    EXPECT_FALSE(w.closed);
    EXPECT_TRUE(modifying.cutShort());
    EXPECT_EQ(modifying.exitStatus(), 1);

    w = FakeWindow{};
    w.fields = validFields();
    w.duringSearch = [](FakeWindow& f) { f.stop = f.intervened = true; };
    CommandLineRun searching = start({"p.vsr", "-com"});
    searching.idle(w);
    EXPECT_EQ(searching.exitStatus(), 1);

    CommandLineRun neverRan = start({"p.vsr", "-com"});
    EXPECT_EQ(neverRan.exitStatus(), 1);

    // Without "-com" there is no run to cut short.
    CommandLineRun window = start({"p.vsr"});
    EXPECT_FALSE(window.cutShort());
    EXPECT_EQ(window.exitStatus(), 0);
}

TEST_F(CommandLineRunTest, AProjectThatFailedToLoadEndsTheRunAtOnce) {
    w.fields = validFields();
    CommandLineRun run(Args{"missing.vsr", "-com", "-fr=r.txt"}, "cl");
    const StartupScan scan = run.startup();
    // The loader reports with command mode still off, so the box is shown.
    run.notify(w, "File \"missing.vsr\" not found", true);
    run.state().CommandLineError = true;
    w.stop = true;
    run.enterCommandMode(scan);
    EXPECT_TRUE(run.idle(w));
    EXPECT_EQ(w.searches, 0);
    EXPECT_EQ(w.shown, Args{"File \"missing.vsr\" not found"});
    EXPECT_EQ(run.reportFile()->second, "Command Line: cl\r\n\r\nFile \"missing.vsr\" not found\r\n");
}

TEST_F(CommandLineRunTest, WithoutAPersonShownMessagesAreLoggedOnce) {
    w.noAnswer = true;
    w.fields = validFields();
    w.fields.path.clear();
    CommandLineRun run = start({"p.vsr", "-com", "-shr", "-fr=r.txt"});
    EXPECT_TRUE(run.idle(w));
    EXPECT_EQ(run.state().log, (Args{"Command Line: vantixsr p.vsr ...", "", "Please specify the Path"}));
    EXPECT_EQ(run.errors(), Args{"Please specify the Path"});
}

// What a run could not do is never a quiet success: each outcome has its status, its report
// and, with nobody to read a box, its lines on standard error.
TEST_F(CommandLineRunTest, EveryFailureOfARunIsReportedWithItsOwnStatus) {
    struct Case {
        const char* name;
        std::function<void(FakeWindow&)> arrange;
        int status;
        Args logged;  // after the command line and the empty line
        Args calls;
    };
    const std::string failure = "/data/a.txt: Failed Modification: it changed since it was read";
    const std::vector<Case> cases = {
        {"success", [](FakeWindow&) {}, 0, {}, {"tab", "search", "idle", "modify", "list /l / cl", "close"}},
        {"missing folder", [](FakeWindow& f) { f.folderFound = false; }, 1, {"Directory \"/data\" not found"},
         {"tab", "deselect"}},
        {"list not written", [](FakeWindow& f) { f.listWritable = false; }, 1,
         {"The list could not be written to /l"}, {"tab", "search", "idle", "modify", "list /l / cl", "deselect"}},
        {"failed files", [&](FakeWindow& f) { f.failures = {failure, "/data/b.txt: Failed Modification"}; },
         CommandLineRun::kExitFilesFailed, {failure, "/data/b.txt: Failed Modification"},
         {"tab", "search", "idle", "modify", "list /l / cl", "close"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWindow f;
        f.noAnswer = true;
        f.fields = validFields();
        c.arrange(f);
        CommandLineRun run(Args{"p.vsr", "-com", "-fs=/l", "-fr=/r"}, "cl");
        run.enterCommandMode(run.startup());
        EXPECT_EQ(run.idle(f), c.status == 1);
        EXPECT_EQ(f.calls, c.calls);
        EXPECT_EQ(run.exitStatus(), c.status);
        EXPECT_EQ(f.shown, c.logged);  // unattended: on standard error, though -shr was not given
        Args log = {"Command Line: cl", ""};
        log.insert(log.end(), c.logged.begin(), c.logged.end());
        if (c.status == 0) EXPECT_FALSE(run.reportFile());
        else EXPECT_EQ(run.reportFile()->second, logFileBytes(log));
    }
}

TEST_F(CommandLineRunTest, ARunStoppedBeforeItsEndWritesAReportSayingSo) {
    w.fields = validFields();
    w.duringModify = [](FakeWindow& f) { f.stop = f.intervened = true; };
    CommandLineRun run = start({"p.vsr", "-com", "-fr=/r"});
    run.idle(w);
    ASSERT_TRUE(run.cutShort());
    EXPECT_EQ(run.noteCutShort(), "The run was stopped before it ended; some files may not have been modified");
    EXPECT_EQ(run.reportFile()->second, "Command Line: vantixsr p.vsr ...\r\n\r\n"
                                        "The run was stopped before it ended; some files may not have been modified\r\n");
    EXPECT_EQ(run.exitStatus(), 1);
}

TEST(CommandLineText, QuotesArgumentsWithBlanks) {
    EXPECT_EQ(processCommandLineText({"vantixsr", "/a b/p.vsr", "-com", ""}), "vantixsr \"/a b/p.vsr\" -com \"\"");
}

}  // namespace
}  // namespace vsr::project
