#pragma once
#include <cstddef>
#include <string>

#include "engine/query/search_conditions.h"
#include "engine/search/search_host.h"
#include "results/result_list.h"
#include "ui/common/command_set.h"
#include "ui/window/window_state.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QTabWidget;
class QWidget;

namespace vsr::ui {

class LinesViewer;
class ListCommands;

// What batch replace and the command line drive in the window: the fields of the Search and
// Replace tab, its Search button and Modify All, the list, and the stop flags.
class WindowDriverHost {
public:
    virtual ~WindowDriverHost() = default;

    virtual QWidget& windowWidget() = 0;
    virtual engine::Prompter& prompter() = 0;
    virtual results::ResultList& results() = 0;
    virtual engine::RunState& runState() = 0;
    virtual const WindowState& state() const = 0;
    virtual CommandSet& commands() = 0;
    virtual ListCommands& listCommands() = 0;
    virtual engine::SearchType searchType() const = 0;
    virtual engine::ModificationType modificationType() const = 0;
    virtual bool listHasRows() const = 0;
    virtual void listSelectionChanged() = 0;
    virtual void FindButtonClick() = 0;
    virtual void ApplicationEvents1Idle() = 0;
    // Puts bytes into a field: a name as the file system gives it, a typed text in the encoding.
    virtual void setComboText(QComboBox* combo, const std::string& text) = 0;
    virtual void setMemoText(QPlainTextEdit* memo, const std::string& text) = 0;
    // Why the last modification failed for `row`; empty when it did not say.
    virtual std::string modificationFailure(std::size_t row) const = 0;

    virtual LinesViewer* linesViewer() = 0;
    virtual QTabWidget* pages() = 0;
    virtual QWidget* searchReplaceTab() = 0;
    virtual QComboBox* pathCombo() = 0;
    virtual QComboBox* masksCombo() = 0;
    virtual QComboBox* searchCombo() = 0;
    virtual QComboBox* replaceCombo() = 0;
    virtual QPlainTextEdit* searchMemo() = 0;
    virtual QPlainTextEdit* replaceMemo() = 0;
    virtual QButtonGroup* modificationTypeGroup() = 0;
    virtual QCheckBox* searchInResultsBox() = 0;
};

}  // namespace vsr::ui
