#pragma once
#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/attribute_changer.h"
#include "platform/launcher.h"
#include "platform/locale_formats.h"
#include "ui/list/list_commands_host.h"

class QModelIndex;

namespace vsr::ui {

class WindowPrompter;
class TMaskForm;

// What the user does with the results list: sorting by a column, Delete Items, Select and
// Deselect by mask, Select All, opening a file by double click, Save List, and the rules that
// enable the list's commands and its pop-up menu.
class ListCommands : public QObject {
    Q_OBJECT
public:
    struct Services {
        WindowPrompter& dialogs;
        platform::Launcher& launcher;
        platform::AttributeChanger& attributes;
        const platform::LocaleFormats& formats;
    };
    ListCommands(ListCommandsHost& window, Services services);
    ~ListCommands() override;

    // A click on the header of the column at display position `section`.
    void SortByColumn(int section);
    void DeleteSelectedItems();
    void SelectByMask();
    void DeselectByMask();
    void SelectAllRows();
    // Selects or deselects the rows whose names fit `mask`; false (after the message) when the
    // mask is invalid.
    bool applyMask(const std::string& mask, bool select);
    // A double click on row `row`: opens its file, or says that it is gone.
    void openRow(int row);
    // "Save List": asks for the file (unless one is given) and writes the list as a table.
    void SaveResultList();
    // Writes the list to `path` without asking, as a command-line run does; a command line
    // begins the file. False when the file could not be written.
    bool saveListTo(const std::string& path, const std::optional<std::string>& commandLine);
    // The enable rules of the list's commands; `forPopup` adds the pop-up menu's own rules.
    void UpdateListCommands(bool forPopup = false);
    // The File menu's rules for the list commands, applied as it opens.
    void FileMenuShow();

    TMaskForm& maskForm() { return *maskForm_; }
    // Set by the file commands: a double-clicked row's file opens through them, so they watch it.
    std::function<void(int row)> openRowHandler;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void maskCommand(bool select);
    void showSelection();
    void focusRow(long long row);

    ListCommandsHost& w_;
    Services services_;
    std::unique_ptr<TMaskForm> maskForm_;
    // Set by Delete Items: the next Up or Down starts from the one selected row.
    bool focusAfterDelete_ = false;
};

}  // namespace vsr::ui
