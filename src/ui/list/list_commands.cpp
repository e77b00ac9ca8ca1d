#include "ui/list/list_commands.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTreeView>
#include <sys/stat.h>

#include "engine/query/masks.h"
#include "platform/file_system.h"
#include "results/delete_items.h"
#include "results/mask_selection.h"
#include "results/row_sort.h"
#include "results/saved_list.h"
#include "ui/prompt/window_prompter.h"
#include "ui/lines/lines_viewer.h"
#include "ui/dialogs/mask_form.h"
#include "ui/list/results_model.h"

namespace vsr::ui {

namespace {

bool existsAndIsNoFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace

ListCommands::ListCommands(ListCommandsHost& window, Services services)
    : QObject(&window.windowWidget()),
      w_(window),
      services_(services),
      maskForm_(std::make_unique<TMaskForm>(&window.windowWidget())) {
    CommandSet& commands = w_.commands();
    commands.setHandler(Command::DeleteItems, [this] { DeleteSelectedItems(); });
    commands.setHandler(Command::Select, [this] { SelectByMask(); });
    commands.setHandler(Command::Deselect, [this] { DeselectByMask(); });
    commands.setHandler(Command::SelectAll, [this] { SelectAllRows(); });
    commands.setHandler(Command::SaveList, [this] { SaveResultList(); });

    QHeaderView* header = w_.resultsView()->header();
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this, [this](int section) { SortByColumn(section); });
    connect(w_.resultsView(), &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) openRow(index.row());
    });
    connect(w_.listPopupMenu(), &QMenu::aboutToShow, this, [this] { UpdateListCommands(true); });
    connect(w_.fileMenu(), &QMenu::aboutToShow, this, [this] { FileMenuShow(); });
    // The menu's keys (Ctrl+A) work while the menu is closed, so its rules follow the list too.
    QAbstractItemModel* model = w_.resultsView()->model();
    connect(model, &QAbstractItemModel::modelReset, this, [this] { FileMenuShow(); });
    connect(model, &QAbstractItemModel::rowsInserted, this, [this] { FileMenuShow(); });
    connect(w_.resultsView()->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { FileMenuShow(); });
    w_.resultsView()->installEventFilter(this);
}

ListCommands::~ListCommands() = default;

// --- sorting ---

void ListCommands::SortByColumn(int section) {
    if (w_.state().busy) return;
    results::ResultList& list = w_.results();
    if (!results::SortByColumn(list, section)) return;
    showSelection();
}

// --- Delete Items ---

void ListCommands::DeleteSelectedItems() {
    w_.clearStatus(1);
    if (!w_.listVisible()) return;
    w_.commands().setAllowed(Command::Undo, false);
    results::ResultList& list = w_.results();
    if (list.selectedCount() == 0) {
        w_.prompter().messageBox(results::kDeleteItemsCaption, results::kDeleteItemsNoSelection,
                                 engine::MessageIcon::Exclamation);
        return;
    }
    const results::DeleteItemsOutcome outcome = results::DeleteSelectedItems(list);
    if (outcome.listEmptied) {
        // The window returns to its form without the list, as Hide List leaves it.
        w_.ClearListClick();
        w_.clearStatus(0);
        return;
    }
    w_.showStatusNow(0, outcome.countText);
    if (list.browsedIndex < 0) w_.linesViewer()->clear();
    showSelection();
    focusAfterDelete_ = true;
    w_.enableListCommands(!w_.onOptionsTab() && w_.activeTab() == engine::Tab::SearchAndReplace);
    UpdateListCommands();
}

// --- selecting ---

void ListCommands::SelectByMask() { maskCommand(true); }
void ListCommands::DeselectByMask() { maskCommand(false); }

void ListCommands::maskCommand(bool select) {
    if (w_.state().busy) return;
    if (services_.dialogs.runModal(*maskForm_) == QDialog::Accepted) applyMask(maskForm_->mask(), select);
    UpdateListCommands();
}

bool ListCommands::applyMask(const std::string& mask, bool select) {
    const engine::FileNameMask compiled(mask);
    if (!compiled.valid()) {
        w_.prompter().messageBox(results::kInvalidMaskCaption, results::kInvalidMask, engine::MessageIcon::Exclamation);
        return false;
    }
    results::SelectByMask(w_.results(), [&compiled](std::string_view name) { return compiled.matches(name); }, select);
    showSelection();
    if (w_.linesViewer()->isVisible() && !w_.linesViewer()->hasLines() && w_.results().firstSelected() >= 0)
        focusRow(w_.results().firstSelected());
    return true;
}

void ListCommands::SelectAllRows() {
    if (w_.state().busy) return;
    results::SelectAllRows(w_.results());
    showSelection();
    if (w_.linesViewer()->isVisible() && !w_.linesViewer()->hasLines() && !w_.results().empty()) focusRow(0);
    UpdateListCommands();
}

void ListCommands::showSelection() { w_.listSelectionChanged(); }

void ListCommands::focusRow(long long row) {
    if (row < 0 || static_cast<std::size_t>(row) >= w_.results().count()) return;
    const QModelIndex index = w_.resultsView()->model()->index(static_cast<int>(row), 0);
    w_.resultsView()->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    w_.resultsView()->scrollTo(index);
}

// --- opening a file ---

void ListCommands::openRow(int row) {
    if (w_.state().busy || row < 0 || static_cast<std::size_t>(row) >= w_.results().count()) return;
    if (openRowHandler) {
        openRowHandler(row);
        return;
    }
    const std::string full = w_.results().row(static_cast<std::size_t>(row)).fullName();
    if (!existsAndIsNoFolder(full)) {
        w_.prompter().messageBox("Information", "File " + full + " not found", engine::MessageIcon::Exclamation);
        w_.windowWidget().update();
        return;
    }
    services_.launcher.openFile(full);
}

// --- Save List ---

void ListCommands::SaveResultList() {
    if (w_.state().busy) return;
    std::string& startFolder = w_.storedOptions().initialDir;
    const std::string path = services_.dialogs.saveListFile(startFolder);
    if (path.empty()) return;
    startFolder = platform::parentPath(path);
    if (!saveListTo(path, std::nullopt))
        w_.prompter().messageBox("Save List", "The list could not be written to " + path,
                                 engine::MessageIcon::Exclamation);
}

bool ListCommands::saveListTo(const std::string& path, const std::optional<std::string>& commandLine) {
    results::SavedListOptions options;
    options.commandLine = commandLine;
    options.textEncoding = w_.textEncoding();
    return results::writeSavedList(path, results::savedListText(w_.results(), options), services_.attributes);
}

// --- enable rules ---

void ListCommands::UpdateListCommands(bool forPopup) {
    if (w_.state().busy) return;
    results::ResultList& list = w_.results();
    CommandSet& commands = w_.commands();
    LinesViewer* viewer = w_.linesViewer();
    const bool viewerShown = viewer->isVisible();
    auto browsedSelected = [&list] {
        return list.browsedIndex >= 0 && static_cast<std::size_t>(list.browsedIndex) < list.count() &&
               list.row(static_cast<std::size_t>(list.browsedIndex)).selected;
    };
    const std::size_t selected = list.selectedCount();

    if ((selected == 0 || !browsedSelected()) && viewerShown && viewer->hasLines()) viewer->clear();
    if (viewer->hasLines() && list.browsedIndex >= 0) {
        const QModelIndex current = w_.resultsView()->selectionModel()->currentIndex();
        if (!current.isValid() || current.row() != list.browsedIndex) focusRow(list.browsedIndex);
    }
    if (viewerShown && (!viewer->hasLines() || !browsedSelected()) && selected == 1) {
        const auto row = static_cast<std::size_t>(list.firstSelected());
        list.browsedIndex = static_cast<long long>(row);
        list.browsedPath = list.row(row).path;
        list.browsedName = list.row(row).name;
    }

    commands.setAllowed(Command::Select, true);
    commands.setAllowed(Command::SelectAll, true);
    const bool fileCommands = viewerShown && (viewer->hasLines() || selected == 1);
    commands.setAllowed(Command::ExecuteFile, fileCommands);
    commands.setAllowed(Command::EditFile, fileCommands);

    const bool searchTab = !w_.onOptionsTab() && w_.activeTab() == engine::Tab::SearchAndReplace;
    for (Command c : {Command::CopyFiles, Command::DeleteFiles, Command::RenameFiles, Command::Deselect,
                      Command::DeleteItems})
        commands.setAllowed(c, selected > 0);
    commands.setAllowed(Command::ModifySelected, selected > 0 &&
                                                     w_.modificationType() != engine::ModificationType::None &&
                                                     searchTab && !w_.runState().conditionsChanged);

    const bool lines = viewerShown && viewer->hasLines();
    commands.setAllowed(Command::BrowseContext, lines);
    if (!lines) commands.setAllowed(Command::SaveLines, false);

    if (!forPopup) return;
    w_.clearStatus(1);
    QMenu* popup = w_.listPopupMenu();
    const QList<QAction*> entries = popup->actions();
    // The first three entries are Modify Selected, Modify All and the separator after them.
    for (int i = 0; i < 3 && i < entries.size(); ++i) entries[i]->setVisible(searchTab);
    if (QAction* deleteItems = w_.popupDeleteItemsAction()) deleteItems->setVisible(true);
    const bool listModifiable =
        (list.tab == results::ListTab::SearchAndReplace && !w_.runState().conditionsChanged) ||
        commands.allowed(Command::ModifyAll);
    if (QMenu* interval = w_.popupIntervalMenu())
        interval->menuAction()->setEnabled(searchTab && w_.listVisible() && !list.empty() && w_.intervalsInUse() &&
                                           listModifiable);
    commands.setAllowed(Command::DeleteItems, selected > 0);
    commands.setAllowed(Command::OpenDirectory, selected > 0);
}

void ListCommands::FileMenuShow() {
    results::ResultList& list = w_.results();
    CommandSet& commands = w_.commands();
    const bool rows = w_.listVisible() && !list.empty();
    const bool withSelection = rows && list.selectedCount() > 0;
    for (Command c : {Command::Deselect, Command::Select, Command::SelectAll}) commands.setAllowed(c, rows);
    for (Command c : {Command::CopyFiles, Command::DeleteFiles, Command::RenameFiles, Command::OpenDirectory})
        commands.setAllowed(c, withSelection);
    const bool searchTab = !w_.onOptionsTab() && w_.activeTab() == engine::Tab::SearchAndReplace;
    const bool listModifiable =
        (list.tab == results::ListTab::SearchAndReplace && !w_.runState().conditionsChanged) ||
        commands.allowed(Command::ModifyAll);
    if (QMenu* interval = w_.fileIntervalMenu())
        interval->menuAction()->setEnabled(searchTab && rows && w_.intervalsInUse() && listModifiable);
}

// --- keys ---

bool ListCommands::eventFilter(QObject* watched, QEvent* event) {
    if (watched != w_.resultsView() || event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) && focusAfterDelete_) {
        focusAfterDelete_ = false;
        // After Delete Items the arrows move on from the row that took the deleted rows' place.
        if (w_.results().selectedCount() == 1) {
            const QModelIndex current = w_.resultsView()->selectionModel()->currentIndex();
            if (!current.isValid() || current.row() != w_.results().firstSelected()) focusRow(w_.results().firstSelected());
        }
    }
    return false;
}

}  // namespace vsr::ui
