#include "ui/commands/report_commands.h"

#include <QCheckBox>
#include <QLabel>
#include <QTabWidget>
#include <chrono>

#include "durable/safe_writer.h"
#include "reports/lines_pages.h"
#include "reports/report_file.h"
#include "reports/search_report.h"
#include "results/status_texts.h"
#include "ui/prompt/window_prompter.h"
#include "ui/lines/lines_viewer.h"
#include "ui/lines/lines_browser.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/settings_dialog_set.h"

namespace vsr::ui {

namespace {

// A file written within this long before the Lines Viewer was filled may not be in it yet:
// the fill's time is known to the millisecond, a file's time on some file systems to the second.
constexpr std::int64_t kTimeSlackMs = 2000;

}  // namespace

// Fills the Lines Viewer for each row of the report and shows the progress; Stop ends it.
class ReportCommands::RowFiller final : public reports::ReportLines {
public:
    RowFiller(ReportCommands& owner, std::string path) : owner_(owner), path_(std::move(path)) {}

    bool begin(const std::string& head) override {
        // The file is written now, so a report that cannot be written says so before the rows are read.
        return reports::writeDocument(path_, head, owner_.services_.attributes);
    }
    const engine::LinesViewerContent* fill(std::size_t row) override {
        ReportCommandsHost& w = owner_.w_;
        if (w.runState().stop || w.closeAskedDuringRun()) return nullptr;
        const engine::FillResult r = owner_.services_.browser.fillRow(row, engine::FillPurpose::Silent);
        if (w.runState().stop || r.end == engine::FillEnd::Stopped || r.end == engine::FillEnd::RegExprError ||
            r.end == engine::FillEnd::Superseded)
            return nullptr;
        return &w.linesViewer()->content();
    }
    void progress(int percent) override { owner_.w_.setStatusText(engine::kCountPanel, reports::processedText(percent)); }

private:
    ReportCommands& owner_;
    std::string path_;
};

ReportCommands::ReportCommands(ReportCommandsHost& window, Services services)
    : QObject(&window.windowWidget()), w_(window), services_(std::move(services)) {
    CommandSet& c = w_.commands();
    c.setHandler(Command::CreateReport, [this] { CreateSearchReport(); });
    c.setHandler(Command::BrowseContext, [this] { WriteBrowseContext(); });
    c.setHandler(Command::SaveLines, [this] { WriteSavedLines(); });
    // F7 works without opening the menu, so the menu's rule is kept up with the tabs too.
    auto follow = [this] { w_.commands().setAllowed(Command::CreateReport, !w_.onOptionsTab()); };
    w_.onTabChanged(this, follow);
    follow();
}

ReportCommands::~ReportCommands() = default;

std::string ReportCommands::reportPath() const { return reports::dataFile(services_.dataFolder, reports::kReportFileName); }
std::string ReportCommands::browsePath() const { return reports::dataFile(services_.dataFolder, reports::kBrowseFileName); }

void ReportCommands::CreateSearchReport() {
    if (w_.mutableState().busy || w_.onOptionsTab()) return;
    const engine::Tab tab = w_.activeTab();
    engine::RunOptions options;
    options.forReport = true;
    w_.runSearch(options);
    // A search that refused to start (no path, no masks) has said why; there is nothing to report.
    if (!w_.mutableState().busy) {
        w_.scheduleIdle();
        return;
    }
    results::ResultList& list = w_.results();
    if (!list.empty()) {
        list.setSelected(0, false);
        w_.listSelectionChanged();
    }
    w_.setSearchInResultsEnabled(false);
    w_.commands().setAllowed(Command::DeleteItems, false);
    w_.commands().setAllowed(Command::ModifySelected, false);
    list.busy = true;

    reports::ReportInputs in;
    in.conditions = w_.runConditions();
    in.formats = &services_.env.formats;
    const platform::FileTime now = services_.env.clock.now();
    in.madeAt = services_.env.formats.shortDate(now) + " " + services_.env.formats.longTime(now);
    in.words = reports::reportWords(in.conditions);
    in.wordCounts = list.reportCounts;
    const std::string path = reportPath();
    RowFiller filler(*this, path);
    const reports::ReportText report = reports::searchReportText(in, list, filler);

    bool open = false;
    if (!report.begun) {
        w_.prompter().messageBox("Create Report", reports::cannotOpenText(path), engine::MessageIcon::Exclamation);
    } else if (report.complete) {
        w_.setStatusText(engine::kCountPanel, list.empty() ? std::string("Not Found")
                                                           : results::searchCountText(list.tab, list.count()));
        if (reports::writeDocument(path, report.text, services_.attributes))
            open = !w_.runState().stop;
        else
            w_.prompter().messageBox("Create Report", reports::cannotOpenText(path), engine::MessageIcon::Exclamation);
    } else {
        // Stopped: what was written so far stays, unopened.
        reports::writeDocument(path, report.text, services_.attributes);
    }
    if (open) services_.launcher.openFile(path);

    if (w_.mutableState().busy) w_.endRunState(tab);
    // An expression error of the report's search selects its character once the field is enabled again.
    w_.selectPendingExpressionError();
    w_.linesViewer()->clear();
    list.browsedIndex = -1;
    w_.disableLineCommands();
    list.deselectAll();
    w_.listSelectionChanged();
    w_.setSearchInResultsEnabled(!list.empty());
    w_.commandRunEnded();
}

bool ReportCommands::changedSinceFill(const std::string& fullName) {
    platform::FileInfo info;
    if (!services_.env.fs.stat(fullName, info)) return true;
    const engine::LinesViewerContent& content = w_.linesViewer()->content();
    // The fill kept the steady clock's time; the wall clock of that moment follows from it.
    const std::int64_t agoMs = services_.env.clock.tickMs() - content.lastFillMs;
    const platform::FileTime filledAt = services_.env.clock.now() - std::chrono::milliseconds(agoMs + kTimeSlackMs);
    return info.lastWrite >= filledAt;
}

void ReportCommands::WriteBrowseContext() {
    if (w_.mutableState().busy) return;
    w_.mutableState().listPopupBlocked = true;
    const bool undoWas = w_.commands().allowed(Command::Undo);
    const engine::LinesViewerContent& content = w_.linesViewer()->content();
    if (content.empty()) return;
    const std::string fullName = content.browsedFullName;
    platform::FileInfo info;
    if (!services_.env.fs.stat(fullName, info) || info.kind != platform::EntryKind::File) {
        w_.prompter().messageBox("Information", engine::fileNotFoundText(fullName), engine::MessageIcon::Exclamation);
        return;
    }
    if (changedSinceFill(fullName)) {
        const results::ResultList& list = w_.results();
        const long long row = content.browsedRow;
        if (row >= 0 && static_cast<std::size_t>(row) < list.count() &&
            list.row(static_cast<std::size_t>(row)).fullName() == fullName)
            services_.browser.fillRow(static_cast<std::size_t>(row), engine::FillPurpose::Silent);
    }
    // An unreadable file still gets its page, with the found lines alone.
    const std::string bytes = platform::readWholeFile(fullName).value_or(std::string());
    const int choice = w_.settingsDialogs().settings().browseContextIndex();
    const std::int64_t context =
        choice >= 0 && choice < static_cast<int>(std::size(reports::kContextChoices))
            ? reports::contextLines(reports::kContextChoices[choice])
            : 5;
    const std::string page = reports::browseContextText(w_.linesViewer()->content(), reports::numberedLines(bytes), context,
                                                        w_.linesViewer()->content().lastQueryType, w_.textEncoding());
    const std::string path = browsePath();
    if (reports::writeDocument(path, page, services_.attributes))
        services_.launcher.openFile(path);
    else
        w_.prompter().messageBox("Browse Context", reports::cannotOpenText(path), engine::MessageIcon::Exclamation);
    if (undoWas) w_.commands().setAllowed(Command::Undo, true);
}

void ReportCommands::WriteSavedLines() {
    if (w_.mutableState().busy) return;
    w_.mutableState().listPopupBlocked = true;
    const engine::LinesViewerContent& content = w_.linesViewer()->content();
    if (content.empty()) return;
    std::string& startFolder = w_.storedOptions().initialDirV;
    const std::string path = services_.dialogs.saveLinesFile(startFolder);
    if (path.empty()) return;
    startFolder = platform::parentPath(path);
    const std::string text = reports::savedLinesText(content, content.lastQueryType, w_.textEncoding());
    if (!reports::writeDocument(path, text, services_.attributes))
        w_.prompter().messageBox("Save Lines", "The lines could not be written to " + path,
                                 engine::MessageIcon::Exclamation);
}

}  // namespace vsr::ui
