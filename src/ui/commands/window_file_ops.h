#pragma once
#include <QObject>
#include <memory>
#include <string>

#include "fileops/file_watch.h"
#include "platform/attribute_changer.h"
#include "platform/file_manager.h"
#include "platform/launcher.h"
#include "platform/trash.h"
#include "platform/type_names.h"
#include "ui/commands/window_file_ops_host.h"

class QTimer;

namespace vsr::ui {

class WindowPrompter;
class FileOpsDialogs;
class LinesBrowser;
class TRenameDlg;
class WindowMemberCopies;

// The commands on the listed files: Copy Files, Delete Files, Rename Files, Execute File, Edit
// File and Open Directory, and the watch that refills the Lines Viewer once the file handed to
// another program was saved there. A member of an archive is opened and copied from a copy
// written out into a private folder (removed with the window); it is never deleted or renamed.
class WindowFileOps : public QObject {
    Q_OBJECT
public:
    struct Services {
        WindowPrompter& dialogs;
        platform::Launcher& launcher;
        platform::Trash& trash;
        platform::FileManager& fileManager;
        platform::AttributeChanger& attributes;
        const platform::TypeNames& typeNames;
        LinesBrowser& browser;
    };
    // Registers the handlers of the six commands and the double click on a row.
    WindowFileOps(WindowFileOpsHost& window, Services services);
    ~WindowFileOps() override;

    void CopyFiles1Click();
    void DeleteFiles1Click();
    void RenameFilesClick();
    void GotoSpeedButtonClick();
    void FileEditSpeedClick();
    void OpenDirectoryClick();
    // A double click on a row: its file opens as by Execute File.
    void openListedFile(int row);

    // Refills the Lines Viewer when the watched file was saved since it was handed over;
    // the window runs it when it is activated and, while watching, once a second.
    void checkWatch();
    bool watching() const { return watch_.watching(); }

    FileOpsDialogs& dialogs() { return *dialogs_; }
    WindowMemberCopies& memberCopies() { return *members_; }
    TRenameDlg& renameDialog() { return *rename_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void execute(const std::string& folder, const std::string& name);
    // A command may not start: a run, a fill or a member being written out holds the window.
    bool held() const;
    // A read-only copy of the member `file` of `archive` for another program; empty when none
    // was made (the reason was shown, unless Stop ended it).
    std::string openedCopy(const std::string& file, const std::string& archive);
    void renameNow();
    std::string browsedFullName() const;
    void showSelectionAfterLoop();

    WindowFileOpsHost& w_;
    Services services_;
    std::unique_ptr<FileOpsDialogs> dialogs_;
    std::unique_ptr<TRenameDlg> rename_;
    std::unique_ptr<WindowMemberCopies> members_;
    fileops::FileWatch watch_;
    QTimer* watchTimer_ = nullptr;
};

}  // namespace vsr::ui
