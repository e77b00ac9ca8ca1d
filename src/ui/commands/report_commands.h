#pragma once
#include <QObject>
#include <string>

#include "engine/search/search_run.h"
#include "platform/attribute_changer.h"
#include "platform/launcher.h"
#include "ui/commands/report_commands_host.h"

namespace vsr::ui {

class WindowPrompter;
class LinesBrowser;

// The Report menu's HTML pages: "Create &Report" searches again and writes "Report.htm" with
// the conditions, the rows and every row's found lines; "Browse &Context" writes the browsed
// file's found lines amid their neighbours to "Browse.htm"; "Save &Lines" writes the Lines
// Viewer to a file the user names. The two pages of the data folder are opened in the browser.
class ReportCommands : public QObject {
    Q_OBJECT
public:
    struct Services {
        platform::Launcher& launcher;
        platform::AttributeChanger& attributes;
        WindowPrompter& dialogs;
        LinesBrowser& browser;
        engine::SearchEnv env;
        std::string dataFolder;  // where "Report.htm" and "Browse.htm" are kept
    };
    // Registers the handlers of the three commands.
    ReportCommands(ReportCommandsHost& window, Services services);
    ~ReportCommands() override;

    void CreateSearchReport();
    void WriteBrowseContext();
    void WriteSavedLines();

    std::string reportPath() const;
    std::string browsePath() const;

private:
    class RowFiller;
    // The browsed file changed on disk after the Lines Viewer was filled for it.
    bool changedSinceFill(const std::string& fullName);
    void finishReport(bool open, const std::string& text, bool ended);

    ReportCommandsHost& w_;
    Services services_;
};

}  // namespace vsr::ui
