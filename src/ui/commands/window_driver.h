#pragma once
#include "project/batch_run.h"
#include "project/command_line_run.h"
#include "ui/commands/window_driver_host.h"

namespace vsr::engine {
class Prompter;
}

namespace vsr::ui {

// Drives the main window the way a user would, for batch replace and the command line: fills
// the Search and Replace fields, presses Search and Modify All, and reads the stop flags.
class WindowDriver : public project::CommandLineHost, public project::BatchRunHost {
public:
    explicit WindowDriver(WindowDriverHost& window) : w_(window) {}

    // Where messages of the command line go; with `unattended` no person is there to answer.
    void setMessages(engine::Prompter* prompter, bool unattended) {
        messages_ = prompter;
        unattended_ = unattended;
    }

    // --- both ---
    bool stopRequested() override;
    bool userIntervened() override;
    void setField(project::RunField field, const std::string& text) override;
    void runSearch() override;
    void modifyAll() override;

    // --- project::CommandLineHost ---
    void showMessage(const std::string& text, engine::MessageIcon icon) override;
    bool unattended() const override { return unattended_; }
    void requestStop() override;
    void showSearchReplaceTab() override;
    project::RunFields runFields() override;
    bool pathIsFolder() override;
    void deselectRow() override;
    void refreshIdleState() override;
    bool saveList(const std::string& file, const std::string& commandLine) override;
    std::vector<std::string> failedFiles() override;
    void closeWindow() override;

    // --- project::BatchRunHost ---
    engine::SearchType searchType() override;
    void deselectAfterStop() override;
    void clearLinesViewer() override;
    void setLinesViewerPainting(bool on) override;

private:
    WindowDriverHost& w_;
    engine::Prompter* messages_ = nullptr;
    bool unattended_ = false;
};

}  // namespace vsr::ui
