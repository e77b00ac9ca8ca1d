#pragma once
#include <string>

#include "engine/query/search_conditions.h"
#include "engine/search/search_host.h"
#include "results/result_list.h"
#include "ui/common/command_set.h"
#include "ui/common/metrics.h"
#include "ui/common/text_refusals.h"
#include "ui/window/window_state.h"

class QAbstractButton;
class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class QTreeView;
class QWidget;

namespace vsr::ui {

class LinesViewer;

// What the Lines Viewer's browser needs of the window: the browsed row and the list, the
// viewer, the status panels, the conditions of the search, and the controls a fill blocks.
class LinesBrowserHost {
public:
    virtual ~LinesBrowserHost() = default;

    virtual QWidget& windowWidget() = 0;
    // The window as the engine's host, which a fill reports to.
    virtual engine::SearchHost& searchHost() = 0;
    virtual results::ResultList& results() = 0;
    virtual engine::RunState& runState() = 0;
    virtual const WindowState& state() const = 0;
    virtual CommandSet& commands() = 0;
    virtual const Metrics& metrics() const = 0;
    virtual engine::SearchConditions currentConditions(engine::Tab tab, TextRefusals* refusals = nullptr) const = 0;
    virtual platform::CodePageId textEncoding() const = 0;
    virtual engine::Tab activeTab() const = 0;
    virtual bool onOptionsTab() const = 0;
    virtual bool intervalsInUse() const = 0;
    virtual bool listVisible() const = 0;
    virtual void setStatusText(int panel, const std::string& text) = 0;

    virtual LinesViewer* linesViewer() = 0;
    virtual QTreeView* resultsView() = 0;
    virtual QTabWidget* pages() = 0;
    virtual QLabel* statusPanel(int panel) = 0;
    virtual QMenu* fileMenu() = 0;
    virtual QMenu* reportMenu() = 0;
    virtual QMenu* projectMenu() = 0;
    virtual QMenu* listPopupMenu() = 0;
    virtual QMenu* linesPopupMenu() = 0;
    // "Mark All" under the File menu.
    virtual QMenu* markAllMenu() = 0;
    virtual QPlainTextEdit* findMemo() = 0;
    virtual QPlainTextEdit* searchMemo() = 0;
    virtual QPushButton* findButton() = 0;
    virtual QPushButton* searchButton() = 0;
    virtual QPushButton* clearFindButton() = 0;
    virtual QPushButton* clearSearchButton() = 0;
    virtual QPushButton* stopFindButton() = 0;
    virtual QToolButton* stopSearchButton() = 0;
    virtual QCheckBox* searchInResultsBox() = 0;
    // The Escape key that stops a run; live while a fill holds the window.
    virtual QAction* stopKey() = 0;
};

}  // namespace vsr::ui
