#pragma once
#include <QObject>

#include "engine/backup/backup_erase.h"
#include "engine/modify/modify_driver.h"
#include "engine/modify/modify_views.h"
#include "platform/attribute_changer.h"
#include "platform/clock.h"
#include "durable/file_store.h"
#include "platform/file_system.h"
#include "ui/commands/window_modify_host.h"

namespace vsr::ui {

class LinesBrowser;

// Runs "Modify Selected", "Modify All", Undo and "Erase Backups" from the main window: builds
// the run's conditions and options from the controls, keeps the window in its running state
// while files are rewritten, and shows the engine's progress in the list and the Lines Viewer.
class WindowModify : public QObject, public engine::ModifyViews {
    Q_OBJECT
public:
    struct Services {
        platform::FileSystem& fileSystem;
        durable::FileStore& files;
        platform::AttributeChanger& attributes;
        platform::Clock& clock;
        LinesBrowser& browser;
    };
    // Registers the handlers of the four commands and the reactions of "Create Backups".
    WindowModify(WindowModifyHost& window, Services services);
    ~WindowModify() override;

    void ReplaceInFileBit1Click();
    void ReplaceAllBit1Click();
    void UndoReplaceBitClick();
    void EraseBackupBit1Click();
    void CreatBackupCheckBoxClick(bool checked);

    const engine::ModifyDriver& driver() const { return driver_; }

    // --- engine::ModifyViews ---
    void setUndoEnabled(bool on) override;
    void clearLinesViewer() override;
    void setLinesViewerPainting(bool on) override;
    void fillSilent(std::size_t row) override;
    void scrollRowIntoView(std::size_t row) override;
    void widenResultColumn() override;

private:
    void modify(engine::ModifyScope scope);
    // What every run leaves behind the engine's end-of-run state: the list commands it switched
    // off for the run come back, and the window goes idle.
    void afterRun(bool saveListAllowed);

    WindowModifyHost& w_;
    Services services_;
    engine::ModifyDriver driver_;
    engine::BackupEraser eraser_;
};

}  // namespace vsr::ui
