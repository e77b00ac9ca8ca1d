#pragma once
#include <string>

#include "engine/query/search_conditions.h"
#include "engine/search/search_host.h"
#include "platform/locale_formats.h"
#include "settings/settings_storage.h"
#include "ui/common/command_set.h"
#include "ui/common/help_topics.h"
#include "ui/common/metrics.h"
#include "ui/window/window_state.h"

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QWidget;

namespace vsr::ui {

class DialogPrompter;
class WindowDriverHost;

// What the project commands need of the window: its settings read into a project value and a
// project value put back, the fields an incorrect project empties, the tabs a project shows,
// and the window as batch replace drives it.
class ProjectHost {
public:
    virtual ~ProjectHost() = default;

    virtual QWidget& windowWidget() = 0;
    virtual WindowDriverHost& driverHost() = 0;
    virtual engine::Prompter& prompter() = 0;
    virtual engine::RunState& runState() = 0;
    virtual WindowState& mutableState() = 0;
    virtual CommandSet& commands() = 0;
    virtual const Metrics& metrics() const = 0;
    virtual HelpTopics& help() = 0;
    virtual platform::CodePageId textEncoding() const = 0;
    // Where the settings are kept; null: nowhere.
    virtual settings::SettingsStorage* settingsStorage() const = 0;
    // The dates of project files; null: the system's.
    virtual const platform::LocaleFormats* localeFormats() const = 0;
    // Shows the batch dialog; null: the real one.
    virtual DialogPrompter* dialogPrompter() const = 0;

    // The controls and the settings dialog's values into the stored settings, which are returned.
    virtual settings::StoredSettings& collectSettings() = 0;
    virtual settings::StoredSettings& storedSettings() = 0;
    virtual settings::MainOptions& storedOptions() = 0;
    virtual settings::DialogSettings& dialogSettings() = 0;
    virtual void applyStoredSettings() = 0;
    virtual void applyDialogSettings() = 0;
    virtual void loadSettings() = 0;
    virtual void applyTabShown() = 0;
    virtual bool listHasRows() const = 0;
    virtual bool listVisible() const = 0;
    virtual engine::ModificationType modificationType() const = 0;
    virtual void ClearListClick() = 0;

    virtual QTabWidget* pages() = 0;
    virtual QWidget* findTab() = 0;
    virtual QWidget* searchReplaceTab() = 0;
    virtual QWidget* optionsTab() = 0;
    virtual QComboBox* pathCombo() = 0;
    virtual QComboBox* masksCombo() = 0;
    virtual QComboBox* findCombo() = 0;
    virtual QComboBox* searchCombo() = 0;
    virtual QComboBox* replaceCombo() = 0;
    virtual QPlainTextEdit* findMemo() = 0;
    virtual QPlainTextEdit* searchMemo() = 0;
    virtual QPlainTextEdit* replaceMemo() = 0;
    virtual QPushButton* clearFindButton() = 0;
    virtual QPushButton* clearSearchButton() = 0;
    virtual QButtonGroup* queryTypeGroup() = 0;
    virtual QButtonGroup* searchTypeGroup() = 0;
    virtual QButtonGroup* modificationTypeGroup() = 0;
    // A button of the size limit's group and one of the date limit's.
    virtual QAbstractButton* sizeLimitButton() = 0;
    virtual QAbstractButton* dateLimitButton() = 0;
};

}  // namespace vsr::ui
