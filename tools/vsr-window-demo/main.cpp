// Opens the main window in a chosen state, for screenshots and for looking at a layout, and
// runs the file commands through the real window without a person:
//   vsr-window-demo [--tab find|search|options] [--type phrase|multiline|regexpr]
//                   [--path DIR] [--masks TEXT] [--query TEXT] [--archives] [--run] [--time] [--passes]
//                   [--stop-after MS]
//                   [--replace TEXT [--preview]]
//                   [--select-all] [--then COMMAND]... [--answer yes|no|yes-to-all|skip|cancel]
//                   [--rename-prefix TEXT] [--rename-suffix TEXT] [--rename-remove FROM:TO]
//                   [--rename-extension EXT] [--editor COMMAND] [--settings] [--encoding NAME]
//                   [--print-rows] [--quit] [--font-size POINTS] [--dark]
// --replace searches on the Search and Replace tab and then runs Modify All with TEXT; with
// --preview it turns the Preview box on instead and shows the replacement in the Lines Viewer.
// --archives turns the Find tab's "Search in archives and documents" on.
// --time prints "<rows> rows in <seconds> s, cpu <seconds> s" for the search (CPU time of all the
// process's threads), to measure the window's speed.
// --passes prints the longest gap between two passes of the window's message loop during the
// search; --stop-after MS presses Stop that long after Find and prints how long the window took
// to come back (both measured from a 1 ms timer, as a person at the window would see them).
// COMMAND is copy-files=DIR, delete-files, rename-files, execute-file, edit-file,
// open-directory or select-all (a rename of the browsed file deselects the rows). While
// commands run, every question gets the --answer (default yes; "no" is Cancel) and is printed
// to standard error. --settings opens the settings dialog over the window; --encoding chooses
// its text encoding (utf-8, 1252, 1250, 1251, 8859-1, 8859-15). Nothing is loaded from or
// saved to the user's settings. --font-size and --dark stand in for a desktop with a larger
// font and a dark colour scheme: the application's font and palette, set before the window.
#include <QApplication>
#include <QPalette>
#include <QStyleFactory>
#include <QCheckBox>
#include <QButtonGroup>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "scripted_answers.h"
#include "ui/window/find_window.h"
#include "ui/lines/lines_browser.h"
#include "ui/list/list_commands.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/settings_dialog_set.h"

namespace {

// A control of the window by its object name, as a script would find it: the window keeps its
// controls to itself. A name the window lacks ends the demo with a message.
template <class T>
T* named(const vsr::ui::TFind& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        std::fprintf(stderr, "vsr-window-demo: the window has no control named %s\n", name);
        std::exit(2);
    }
    return found;
}

using vsr::ui::Command;

const char* const kUsage =
    "usage: %s [--tab find|search|options] [--type phrase|multiline|regexpr] [--path DIR] [--masks TEXT] [--query TEXT] [--archives] [--run] [--time]\n"
    "          [--passes] [--stop-after MS] [--replace TEXT [--preview]] [--select-all] [--then COMMAND]... [--answer yes|no|yes-to-all|skip|cancel]\n"
    "          [--rename-prefix TEXT] [--rename-suffix TEXT] [--rename-remove FROM:TO] [--rename-extension EXT]\n"
    "          [--editor COMMAND] [--settings] [--encoding utf-8|1252|1250|1251|8859-1|8859-15] [--print-rows] [--quit]\n"
    "          [--font-size POINTS] [--dark]\n"
    "COMMAND: copy-files=DIR, delete-files, rename-files, execute-file, edit-file, open-directory, select-all\n";

// CPU seconds of every thread of the process so far: steadier than wall time on a busy machine.
double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

struct Step {
    std::optional<Command> command;  // none: select every row
    std::string folder;  // copy-files only
    std::string name;
};

bool parseStep(const std::string& text, Step& step) {
    step.name = text;
    if (text.rfind("copy-files=", 0) == 0) {
        step.command = Command::CopyFiles;
        step.folder = text.substr(std::strlen("copy-files="));
        return !step.folder.empty();
    }
    if (text == "select-all") {
        step.command.reset();
        return true;
    }
    const std::pair<const char*, Command> names[] = {
        {"delete-files", Command::DeleteFiles}, {"rename-files", Command::RenameFiles},
        {"execute-file", Command::ExecuteFile}, {"edit-file", Command::EditFile},
        {"open-directory", Command::OpenDirectory}};
    for (const auto& [name, command] : names)
        if (text == name) {
            step.command = command;
            return true;
        }
    return false;
}

// Lets the window settle: the Lines Viewer is filled a moment after the selection changed, and
// the commands wait for the end of a long fill as a person would.
void settle(vsr::ui::TFind& window) {
    auto* browser = window.findChild<vsr::ui::LinesBrowser*>();
    QElapsedTimer clock;
    clock.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        if (!browser || (!browser->browsePending() && !browser->filling())) {
            QApplication::processEvents();
            if (!browser || !browser->browsePending()) return;
        }
        QThread::msleep(5);
    } while (clock.elapsed() < 60000);
}

}  // namespace

int main(int argc, char** argv) {
    // A script on a machine without a screen still gets the whole window, drawn nowhere.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    std::string tab = "find", type = "phrase", path, masks, query, replace, editor, encoding;
    bool modify = false, run = false, archives = false, time = false, selectAll = false, printRows = false, quit = false;
    bool preview = false, settings = false, passes = false, dark = false;
    double fontPoints = 0;
    int stopAfterMs = -1;
    std::vector<Step> steps;
    vsr::tools::ScriptedAnswers answers;
    for (int i = 1; i < argc; ++i) {
        bool ok = true;
        auto next = [&](std::string& into) {
            if (i + 1 < argc) into = argv[++i];
            else ok = false;
        };
        const std::string arg = argv[i];
        std::string value;
        if (arg == "--tab") next(tab);
        else if (arg == "--type") next(type);
        else if (arg == "--path") next(path);
        else if (arg == "--masks") next(masks);
        else if (arg == "--query") next(query);
        else if (arg == "--run") run = true;
        else if (arg == "--archives") archives = true;
        else if (arg == "--time") time = true;
        else if (arg == "--passes") passes = true;
        else if (arg == "--stop-after") {
            next(value);
            char* end = nullptr;
            const long ms = std::strtol(value.c_str(), &end, 10);
            ok = ok && !value.empty() && *end == '\0' && ms >= 0 && ms < 3600000;
            stopAfterMs = static_cast<int>(ms);
            run = true;
        }
        else if (arg == "--replace") {
            next(replace);
            modify = run = true;
            tab = "search";
        } else if (arg == "--preview") preview = true;
        else if (arg == "--select-all") selectAll = true;
        else if (arg == "--print-rows") printRows = true;
        else if (arg == "--quit") quit = true;
        else if (arg == "--settings") settings = true;
        else if (arg == "--dark") dark = true;
        else if (arg == "--font-size") {
            next(value);
            fontPoints = std::atof(value.c_str());
            ok = ok && fontPoints > 0;
        }
        else if (arg == "--encoding") {
            next(encoding);
            ok = ok && vsr::platform::parseCodePageName(encoding).has_value();
        }
        else if (arg == "--editor") next(editor);
        else if (arg == "--then") {
            next(value);
            Step step;
            ok = ok && parseStep(value, step);
            steps.push_back(step);
        } else if (arg == "--answer") {
            next(value);
            answers.answer = vsr::tools::answerCode(value);
            ok = ok && answers.answer >= 0;
        } else if (arg == "--rename-prefix") next(answers.rename.prefix);
        else if (arg == "--rename-suffix") next(answers.rename.suffix);
        else if (arg == "--rename-extension") {
            next(answers.rename.newExtension);
            answers.rename.newExtensionOn = true;
        } else if (arg == "--rename-remove") {
            next(value);
            int from = 0, to = 0;
            ok = ok && std::sscanf(value.c_str(), "%d:%d", &from, &to) == 2 && from >= 1 && to >= from;
            answers.rename.remove = true;
            answers.rename.firstPosition = from;
            answers.rename.number = to - from + 1;
        } else ok = false;
        if (!ok) {
            std::fprintf(stderr, kUsage, argv[0]);
            return 2;
        }
    }

    if (fontPoints > 0) {
        QFont font = QApplication::font();
        font.setPointSizeF(fontPoints);
        QApplication::setFont(font);
    }
    if (dark) {
        // A dark scheme as desktops ship it: light text on dark grey, a blue highlight.
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QPalette p;
        p.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
        p.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
        p.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
        p.setColor(QPalette::AlternateBase, QColor(0x42, 0x42, 0x42));
        p.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
        p.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
        p.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
        p.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
        p.setColor(QPalette::HighlightedText, Qt::white);
        p.setColor(QPalette::ToolTipBase, QColor(0x35, 0x35, 0x35));
        p.setColor(QPalette::ToolTipText, QColor(0xee, 0xee, 0xee));
        p.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x90));
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            p.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
        QApplication::setPalette(p);
    }
    vsr::ui::WindowServices services;
    // Scripted commands get scripted answers; otherwise the real dialogs show.
    if (!steps.empty() || selectAll || printRows) {
        services.prompter = &answers;
        services.dialogPrompter = &answers;
    }
    vsr::ui::TFind window(services);
    if (tab == "search") named<QTabWidget>(window, "PageControl1")->setCurrentWidget(named<QWidget>(window, "SearchReplaceTab"));
    else if (tab == "options") named<QTabWidget>(window, "PageControl1")->setCurrentWidget(named<QWidget>(window, "OptionsTab"));
    else named<QTabWidget>(window, "PageControl1")->setCurrentWidget(named<QWidget>(window, "FindTab"));
    const bool onSearch = tab == "search";
    if (type == "multiline") (onSearch ? named<QRadioButton>(window, "TextSearchButton") : named<QRadioButton>(window, "TextButton"))->setChecked(true);
    else if (type == "regexpr") (onSearch ? named<QRadioButton>(window, "RegExpSearch") : named<QRadioButton>(window, "RegExpFind"))->setChecked(true);
    if (!path.empty()) named<QComboBox>(window, "ComboBoxPath")->setEditText(QString::fromStdString(path));
    if (!masks.empty()) named<QComboBox>(window, "MasksComboBox")->setEditText(QString::fromStdString(masks));
    if (archives) named<QCheckBox>(window, "ArchivesCheckBox")->setChecked(true);
    if (!query.empty()) {
        const QString q = QString::fromStdString(query);
        if (onSearch) {
            named<QComboBox>(window, "SearchEdit")->setEditText(q);
            named<QPlainTextEdit>(window, "SearchMemo")->setPlainText(q);
        } else {
            named<QComboBox>(window, "FindEditComboBox")->setEditText(q);
            named<QPlainTextEdit>(window, "FindMemo")->setPlainText(q);
        }
    }
    if (modify) {
        named<QRadioButton>(window, "ReplaceButton")->click();
        const QString r = QString::fromStdString(replace);
        named<QComboBox>(window, "Edit2")->setEditText(r);
        named<QPlainTextEdit>(window, "Memo2")->setPlainText(r);
    }
    // With the preview on, the replacement is shown in the Lines Viewer instead of being made.
    if (preview) named<QCheckBox>(window, "PreviewCheckBox")->setChecked(true);
    if (!editor.empty()) window.settingsDialogs().settings().EditorEdit->setText(QString::fromStdString(editor));
    if (!encoding.empty()) {
        vsr::settings::DialogSettings values = window.settingsDialogs().settings().values();
        values.textEncoding = *vsr::platform::parseCodePageName(encoding);
        window.settingsDialogs().load(values);
    }
    window.show();
    if (settings) QTimer::singleShot(100, &window, [&window] { window.settingsDialogs().ShowSettings(); });
    int status = 0;
    QTimer::singleShot(200, &window, [&] {
        if (run) {
            QElapsedTimer timer;
            timer.start();
            const double startCpu = processCpuSeconds();
            // A timer that fires on every pass of the message loop the search lets run.
            std::int64_t lastPassNs = 0, longestGapNs = 0, stopNs = -1;
            QTimer passWatch;
            passWatch.setTimerType(Qt::PreciseTimer);
            QObject::connect(&passWatch, &QTimer::timeout, [&] {
                const std::int64_t now = timer.nsecsElapsed();
                longestGapNs = std::max(longestGapNs, now - lastPassNs);
                lastPassNs = now;
            });
            if (passes || stopAfterMs >= 0) passWatch.start(1);
            QTimer stopper;
            stopper.setSingleShot(true);
            stopper.setTimerType(Qt::PreciseTimer);
            QObject::connect(&stopper, &QTimer::timeout, [&] {
                stopNs = timer.nsecsElapsed();
                named<QPushButton>(window, "StopFindBit")->click();
            });
            if (stopAfterMs >= 0) stopper.start(stopAfterMs);
            window.FindButtonClick();  // returns when the search has ended
            const std::int64_t endNs = timer.nsecsElapsed();
            const double cpu = processCpuSeconds() - startCpu;
            passWatch.stop();
            stopper.stop();
            if (time) std::printf("%zu rows in %.3f s, cpu %.3f s\n", window.results().count(), endNs / 1e9, cpu);
            if (passes)
                std::printf("longest gap between message passes: %.1f ms\n",
                            std::max(longestGapNs, endNs - lastPassNs) / 1e6);
            if (stopAfterMs >= 0) {
                if (stopNs < 0) std::printf("the search ended before Stop\n");
                else std::printf("Stop took %.1f ms, %zu rows kept\n", (endNs - stopNs) / 1e6, window.results().count());
            }
            std::fflush(stdout);
            if (modify && !preview) window.commands().trigger(Command::ModifyAll);
        }
        settle(window);
        if (selectAll) {
            window.listCommands().SelectAllRows();
            settle(window);
        }
        for (const Step& step : steps) {
            if (!step.command) {
                window.listCommands().SelectAllRows();
                settle(window);
                continue;
            }
            window.listCommands().UpdateListCommands();
            if (!window.commands().enabled(*step.command)) {
                std::fprintf(stderr, "vsr-window-demo: %s is not available now\n", step.name.c_str());
                status = 1;
                continue;
            }
            answers.folder = step.folder;
            window.commands().trigger(*step.command);
            settle(window);
        }
        if (printRows) {
            const vsr::results::ResultList& list = window.results();
            for (const vsr::results::ResultItem& row : list.rows())
                std::printf("%s\t%s\n", row.fullName().c_str(), row.found.c_str());
            std::fflush(stdout);
        }
        if (quit) window.close();
    });
    const int rc = app.exec();
    return status ? status : rc;
}
