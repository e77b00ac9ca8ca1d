#pragma once
#include <QFont>
#include <memory>

#include "engine/search/search_host.h"
#include "fileops/file_ops_prompter.h"
#include "ui/common/metrics.h"

class QWidget;

namespace vsr::ui {

class WindowPrompter;
class TCopyDlg;
class TDelFilesDlg;
class TDelReadOnlyDlg;

// Asks the file commands' questions with the program's confirmation dialogs, made once and
// kept, and shows their messages as message boxes. Lines are shortened for the window's font.
class FileOpsDialogs final : public fileops::FileOpsPrompter {
public:
    FileOpsDialogs(QWidget* window, WindowPrompter& dialogs, engine::Prompter& messages, const Metrics& metrics);
    ~FileOpsDialogs() override;

    fileops::Answer ask(const fileops::Question& question) override;
    void message(const std::string& caption, const std::string& text) override;

    TCopyDlg& copyDialog() { return *copy_; }
    TDelFilesDlg& deleteDialog() { return *delete_; }
    TDelReadOnlyDlg& readOnlyDialog() { return *readOnly_; }

private:
    QWidget* window_;
    WindowPrompter& dialogs_;
    engine::Prompter& messages_;
    const Metrics& metrics_;
    std::unique_ptr<TCopyDlg> copy_;
    std::unique_ptr<TDelFilesDlg> delete_;
    std::unique_ptr<TDelReadOnlyDlg> readOnly_;
};

}  // namespace vsr::ui
