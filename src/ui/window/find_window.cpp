// The window's frame: construction, the results area and status bar, the event filter for
// the window's keys, idle duties, the small commands of the window itself, start and end.
#include "ui/window/find_window.h"
#include "ui/window/window_index.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/freedesktop_trash.h"
#include "platform/linux/dbus_file_manager.h"
#include "platform/linux/desktop_launcher.h"
#include "platform/linux/xdg_system_folders.h"
#include "platform/posix_file_system.h"
#include "ui/dialogs/about_form.h"
#include "ui/common/app_info.h"
#include "ui/widgets/busy_indicator.h"
#include "ui/prompt/window_prompter.h"
#include "ui/commands/window_modify.h"
#include "ui/window/window_drop.h"
#include "ui/commands/window_file_ops.h"
#include "ui/lines/lines_viewer.h"
#include "ui/lines/lines_previewer.h"
#include "ui/lines/lines_review.h"
#include "ui/lines/lines_browser.h"
#include "ui/commands/project_commands.h"
#include "ui/dialogs/batch_dialog.h"
#include "ui/list/list_commands.h"
#include "ui/prompt/qt_prompter.h"
#include "ui/commands/recent_projects.h"
#include "ui/commands/report_commands.h"
#include "ui/list/results_model.h"
#include "ui/dialogs/settings_dialog_set.h"
#include "ui/window/window_accessibility.h"

namespace vsr::ui {

// The services the window falls back on when the program gives none.
struct TFind::OwnServices {
    platform::PosixFileSystem fileSystem;
    platform::SteadyClock clock;
    platform::PosixLocaleFormats formats;
    platform::NoTypeNames typeNames;
};

// The desktop services of the list commands and the settings dialogs, when the program gives none.
struct TFind::PartServices {
    explicit PartServices(QWidget* parent) : dialogs(parent) {}
    QtPrompter dialogs;
    platform::DesktopLauncher launcher;
    platform::PosixAttributeChanger attributes;
    durable::PosixFileStore files;
    platform::FreedesktopTrash trash;
    platform::DbusFileManager fileManager{launcher};
};

TFind::TFind(WindowServices services, QWidget* parent)
    : QMainWindow(parent),
      services_(std::move(services)),
      metrics_(services_.dotsPerInch > 0 ? services_.dotsPerInch : screenDotsPerInch(),
               fontScale(font(), services_.dotsPerInch > 0 ? services_.dotsPerInch : screenDotsPerInch())),
      help_(services_.helpFolder.isEmpty() ? HelpTopics::findFolder() : services_.helpFolder, services_.helpOpener),
      own_(std::make_unique<OwnServices>()) {
    setObjectName(QStringLiteral("TFind"));
    setWindowTitle(QString::fromUtf8(kProgramTitle));
    // The desktop's font, as the dialogs have it; the designed sizes grow with it (metrics_).

    if (services_.prompter) {
        prompter_ = services_.prompter;
    } else {
        ownPrompter_ = std::make_unique<QtPrompter>(this);
        prompter_ = ownPrompter_.get();
    }

    composeTopPanel();
    composeFindTab();
    composeSearchReplaceTab();
    composeOptionsTab();
    PageControl1 = new QTabWidget;
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->addTab(FindTab, QStringLiteral("Find"));
    PageControl1->addTab(SearchReplaceTab, QStringLiteral("Search and Replace"));
    PageControl1->addTab(OptionsTab, QStringLiteral("Options"));
    composeResultsArea();
    composeStatusBar();

    auto* central = new QWidget;
    central->setObjectName(QStringLiteral("CentralWidget"));
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(Panel1);
    column->addWidget(PageControl1);
    column->addWidget(Splitter1, 1);
    setCentralWidget(central);

    composeMenus();
    composePopupMenus();
    nameWindowControls(*this);

    platform::FileSystem& fs = services_.fileSystem ? *services_.fileSystem : own_->fileSystem;
    platform::Clock& clock = services_.clock ? *services_.clock : own_->clock;
    const platform::LocaleFormats& formats = services_.formats ? *services_.formats : own_->formats;
    const platform::TypeNames& typeNames = services_.typeNames ? *services_.typeNames : own_->typeNames;
    driver_ = std::make_unique<engine::SearchDriver>(engine::SearchEnv{fs, clock, formats, typeNames}, *this, *this, list_);
    model_->setTypeNames(&typeNames);

    statusTimer_ = new QTimer(this);
    statusTimer_->setSingleShot(true);
    statusTimer_->setInterval(kStatusPaceMs);
    connect(statusTimer_, &QTimer::timeout, this, &TFind::showPendingStatus);

    idleTimer_ = new QTimer(this);
    idleTimer_->setSingleShot(true);
    idleTimer_->setInterval(0);
    connect(idleTimer_, &QTimer::timeout, this, &TFind::ApplicationEvents1Idle);

    setMinimumWidth(metrics_.s(px::kMinWindowWidth));
    resize(metrics_.s(px::kMinWindowWidth), windowHeightFor(px::kFindOneLinePage));
    connectControls();
    loadSettings();
    parts_ = std::make_unique<PartServices>(this);
    WindowPrompter& dialogs = services_.dialogPrompter ? *services_.dialogPrompter : parts_->dialogs;
    settingsDialogs_ = std::make_unique<SettingsDialogSet>(
        SettingsDialogSet::Window{this, commands_, help_, stored_.dialog, stored_.options,
                                [this](platform::CodePageId before, platform::CodePageId after) {
                                    // The same typed query is other bytes now, and folds by other
                                    // rules: the list no longer holds what Modify would change, as
                                    // after a change of "Case Sensitive"; the batch table's texts
                                    // are turned into the new encoding.
                                    textEncodingChanged();
                                    if (projects_) projects_->batchDialog().reencode(before, after);
                                }},
        dialogs);
    listCommands_ = std::make_unique<ListCommands>(
        *this, ListCommands::Services{dialogs, services_.launcher ? *services_.launcher : parts_->launcher,
                                      services_.attributes ? *services_.attributes : parts_->attributes, formats});
    // The Lines Viewer follows the list's selection and runs the interval commands.
    auto* browser = new LinesBrowser(*this, engine::SearchEnv{fs, clock, formats, typeNames});
    durable::FileStore& files = services_.fileStore ? *services_.fileStore : parts_->files;
    previewer_ = new LinesPreviewer(*this, files, services_.attributes ? *services_.attributes : parts_->attributes,
                                    clock);
    browser->previewer = previewer_;
    // Turning a replacement on or off changes the count in the status bar.
    connect(previewer_, &LinesPreviewer::statusChanged, browser, &LinesBrowser::showIntervalStatus);
    connectReviewEntries();
    // Modification, undo and erasing backups rewrite the listed files through the engine.
    modify_ = new WindowModify(*this, WindowModify::Services{fs, files,
                                                   services_.attributes ? *services_.attributes : parts_->attributes,
                                                   clock, *browser});
    // Copy, delete, rename, execute, edit and open the folder of the listed files.
    new WindowFileOps(*this, WindowFileOps::Services{
                                 dialogs, services_.launcher ? *services_.launcher : parts_->launcher,
                                 services_.trash ? *services_.trash : parts_->trash,
                                 services_.fileManager ? *services_.fileManager : parts_->fileManager,
                                 services_.attributes ? *services_.attributes : parts_->attributes, typeNames, *browser});
    // The Report menu's pages; they are kept in the settings' data folder.
    new ReportCommands(*this, ReportCommands::Services{
                                  services_.launcher ? *services_.launcher : parts_->launcher,
                                  services_.attributes ? *services_.attributes : parts_->attributes, dialogs, *browser,
                                  engine::SearchEnv{fs, clock, formats, typeNames},
                                  services_.settings && !services_.settings->DataFolder().empty()
                                      ? services_.settings->DataFolder()
                                      : platform::XdgSystemFolders().dataFolder()});
    // Projects and batch replace read and drive the window's own controls.
    projects_ = new ProjectCommands(*this, services_.filePrompter);
    // Recent projects under the Project menu; folders and projects dropped on the window.
    new RecentProjects(*this, *projects_);
    new WindowDrop(*this, *projects_);
    showListArea(false);
    composing_ = false;
    applyTabShown();
    // Starting on the Options tab, "Whole Words" follows the Find tab's query type; the first
    // idle pass applies the option rules to the stored values.
    if (onOptionsTab()) WholeWordsCheckBox->setVisible(findQueryView() == QueryView::OneLine);
    scheduleIdle();
    qApp->installEventFilter(this);
}

bool isWindowPart(const QObject& child) {
    return !child.isWidgetType() && std::string_view(child.metaObject()->className()).starts_with("vsr::");
}

TFind::~TFind() {
    qApp->removeEventFilter(this);
    saveSettings();
    // Hiding emits focus and selection signals; they must find the window still whole and quiet.
    composing_ = true;
    hide();
    if (ListView1) ListView1->setModel(nullptr);
    // The parts reach the window through their hosts, and the hosts are torn down as soon as
    // this body ends, before Qt deletes the children: a part still there when a control's
    // teardown signals it would call a host half destroyed. So the parts go now, while the
    // window is whole; the controls, and Qt's own helpers such as the layout, follow as usual.
    listCommands_.reset();
    std::vector<QPointer<QObject>> parts;
    for (QObject* child : children())
        if (isWindowPart(*child)) parts.emplace_back(child);
    for (const QPointer<QObject>& part : parts) delete part.data();
}

void TFind::connectReviewEntries() {
    connect(keepReplacement_, &QAction::triggered, previewer_, &LinesPreviewer::toggleCurrentEdit);
    connect(keepFileLines_, &QAction::triggered, previewer_, &LinesPreviewer::toggleFile);
    connect(keepFileList_, &QAction::triggered, this, [this] {
        const long long row = list_.currentIndex >= 0 ? list_.currentIndex : list_.firstSelected();
        if (row >= 0 && row < static_cast<long long>(list_.count()))
            previewer_->review().toggleRow(static_cast<std::size_t>(row));
    });
    connect(LinesPopupMenu, &QMenu::aboutToShow, this, [this] {
        const bool reviewing = ListBox1->reviewing();
        keepReplacement_->setVisible(reviewing);
        keepFileLines_->setVisible(reviewing);
        keepReplacement_->setEnabled(reviewing && ListBox1->currentBox() >= 0);
    });
    connect(ListPopupMenu, &QMenu::aboutToShow, this,
            [this] { keepFileList_->setVisible(previewer_->review().checksShown() && listHasRows()); });
}

void TFind::composeResultsArea() {
    Splitter1 = new QSplitter(Qt::Vertical);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(metrics_.s(px::kSplitterWidth));
    Splitter1->setChildrenCollapsible(false);
    ListView1 = new QTreeView;
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    ListView1->setMinimumHeight(metrics_.s(px::kMinListHeight));
    ListView1->header()->setStretchLastSection(true);
    ListView1->header()->setSectionsMovable(false);
    model_ = new ResultsModel(list_, this);
    ListView1->setModel(model_);
    ListBox1 = new LinesViewer;
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    ListBox1->setMinimumHeight(metrics_.s(20));
    Splitter1->addWidget(ListView1);
    Splitter1->addWidget(ListBox1);
    // A taller window gives the list and the Lines Viewer a share each: a list kept at the
    // height of a few rows would leave a maximized window showing no more files than before.
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 1);
}

void TFind::composeStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    // The strip is 17 pixels high by design; text a ninth smaller than the window's (8 points
    // to its 9) fits it, and the backup note fits its 120-pixel panel.
    QFont small = font();
    if (small.pointSizeF() > 0) small.setPointSizeF(small.pointSizeF() * 8.0 / kDesignedFontPoints);
    else if (small.pixelSize() > 0) small.setPixelSize(std::max(1, small.pixelSize() * 8 / 9));
    bar->setFont(small);
    bar->setFixedHeight(std::max(metrics_.s(px::kStatusBarHeight), QFontMetrics(small).height() + metrics_.s(3)));
    for (int i = 0; i < 3; ++i) {
        StatusPanel[i] = new QLabel(bar);
        StatusPanel[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        StatusPanel[i]->setFrameShape(QFrame::StyledPanel);
        StatusPanel[i]->setFrameShadow(QFrame::Sunken);
        StatusPanel[i]->setContentsMargins(metrics_.s(3), 0, metrics_.s(3), 0);
        bar->addWidget(StatusPanel[i]);
    }
}

void TFind::connectControls() {
    connect(FindBit, &QPushButton::clicked, this, &TFind::FindButtonClick);
    connect(SearchSpeedButton, &QPushButton::clicked, this, &TFind::FindButtonClick);
    connect(StopFindBit, &QPushButton::clicked, this, &TFind::StopFindBitSClick);
    connect(StopSearch, &QToolButton::clicked, this, &TFind::StopFindBitSClick);
    connect(ClearFindBit, &QPushButton::clicked, this, &TFind::ClearListClick);
    connect(ClearSearchBit, &QPushButton::clicked, this, &TFind::ClearListClick);
    connect(Button1, &QPushButton::clicked, this, &TFind::Button1Click);

    connect(QueryTypeGroup, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on && !composing_) QueryTypeClick();
    });
    connect(SearchTypeGroup, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on && !composing_) SearchTypeClick();
    });
    connect(ModificationTypeGroup, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on && !composing_) ModificationTypeClick();
    });

    // Rule D reacts to the user's edits, not to the window filling its own fields. A change of
    // the text is the edit, typed or picked from the history; an editable combo box also reports
    // an activation when the focus merely leaves it, which changes nothing.
    auto searchEdited = [this] {
        if (!updatingFields_ && !composing_) SearchTextChange();
    };
    auto findEdited = [this] {
        if (!updatingFields_ && !composing_) FindTextChange();
    };
    connect(SearchEdit, &QComboBox::currentTextChanged, this, searchEdited);
    connect(SearchMemo, &QPlainTextEdit::textChanged, this, searchEdited);
    connect(FindEditComboBox, &QComboBox::currentTextChanged, this, findEdited);
    connect(FindMemo, &QPlainTextEdit::textChanged, this, findEdited);
    connect(SensitiveCheckBox, &QCheckBox::clicked, this, [this] { CaseOrWholeWordsClick(false); });
    connect(WholeWordsCheckBox, &QCheckBox::clicked, this, [this] { CaseOrWholeWordsClick(true); });
    for (QCheckBox* c : {TrimLeftCheckBox, TrimRightCheckBox})
        connect(c, &QCheckBox::clicked, this, &TFind::MultilineOptionClick);
    for (QCheckBox* c : {ExpPointCheckBox, RegExprXPCheckBox, ExpSpaceCheckBox})
        connect(c, &QCheckBox::clicked, this, &TFind::RegExprOptionClick);
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
             AllSizeCheckBox, AllDateCheckBox, BetweenRadioButton, NewestRadioButton, RegExprXPCheckBox})
        connect(b, &QAbstractButton::toggled, this, &TFind::OptionsEnableRules);
    connect(ListXPCheckBox, &QCheckBox::clicked, this, &TFind::SearchInResultsClick);
    connect(CreatBackupCheckBox, &QCheckBox::toggled, this, [this] {
        if (!onOptionsTab() && activeTab() == engine::Tab::SearchAndReplace) applyTabShown();
    });

    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        const int from = lastTab_;
        lastTab_ = index;
        if (composing_) return;
        PageControl1Changing(from, index);
        if (PageControl1->currentIndex() != index) return;  // sent back to the Options tab
        PageControl1Change();
        scheduleIdle();
    });
    connect(ListView1, &QWidget::customContextMenuRequested, this, &TFind::showListPopup);
    connect(ListBox1, &QWidget::customContextMenuRequested, this, &TFind::showLinesPopup);
    connect(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (updatingFields_ || composing_) return;
        // While a run is busy the list ignores the user's clicks.
        if (state_.busy) {
            listSelectionChanged();
            return;
        }
        // The view's selection as ranges of rows: one pass over the rows, however the user
        // picked them.
        std::vector<char> inView(list_.count(), 0);
        for (const QItemSelectionRange& range : ListView1->selectionModel()->selection())
            for (int row = std::max(range.top(), 0); row <= range.bottom() && row < int(inView.size()); ++row)
                inView[std::size_t(row)] = 1;
        for (std::size_t i = 0; i < list_.count(); ++i) list_.setSelected(i, inView[i] != 0);
        const long long first = list_.firstSelected();
        list_.currentIndex = first;
        list_.currentFullName = first >= 0 ? list_.row(static_cast<std::size_t>(first)).fullName() : std::string();
        if (first >= 0) {
            enableListCommands(!onOptionsTab() && activeTab() == engine::Tab::SearchAndReplace);
        } else {
            disableLineCommands();
            commands_.setAllowed(Command::DeleteItems, false);
        }
        scheduleIdle();
    });
    connect(Splitter1, &QSplitter::splitterMoved, this, [this] { state_.listHeight = ListView1->height(); });
    connect(model_, &QAbstractItemModel::modelReset, this, &TFind::applyColumnWidths);
    connect(ListView1->header(), &QHeaderView::sectionResized, this, [this](int section, int, int) {
        // Only the user's drag counts: the header also resizes columns itself when columns come
        // and go, and the last column stretches with the list.
        if (!resizingColumns_ && !composing_ && section + 1 < model_->columnCount() &&
            (QGuiApplication::mouseButtons() & Qt::LeftButton))
            userSizedColumns_.insert(int(model_->columnAt(section)));
    });
}

std::string TFind::homeFolder() const {
    return services_.homeFolder.empty() ? QDir::homePath().toStdString() : services_.homeFolder;
}

void TFind::listSelectionChanged() {
    // Shows the list's own selection in the view (after the window or a run selected rows).
    model_->flushRows();
    QItemSelectionModel* sel = ListView1->selectionModel();
    const bool was = updatingFields_;
    updatingFields_ = true;
    // Runs of adjacent rows, whole rows each, given at once onto an empty selection: a call
    // per row, or a selection merged into the one before, costs the square of the rows.
    sel->clearSelection();
    QItemSelection selection;
    const std::vector<std::size_t> chosen = list_.selectedRows();
    const int lastColumn = model_->columnCount() - 1;
    for (std::size_t first = 0; first < chosen.size();) {
        std::size_t last = first;
        while (last + 1 < chosen.size() && chosen[last + 1] == chosen[last] + 1) ++last;
        selection.append(QItemSelectionRange(model_->index(static_cast<int>(chosen[first]), 0),
                                             model_->index(static_cast<int>(chosen[last]), std::max(lastColumn, 0))));
        first = last + 1;
    }
    if (!selection.isEmpty()) sel->select(selection, QItemSelectionModel::Select);
    const long long first = list_.firstSelected();
    if (first >= 0) {
        const QModelIndex index = model_->index(static_cast<int>(first), 0);
        sel->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        ListView1->scrollTo(index);
        list_.currentIndex = first;
        list_.currentFullName = list_.row(static_cast<std::size_t>(first)).fullName();
    }
    updatingFields_ = was;
}

void TFind::showListPopup(const QPoint& at) {
    if (state_.busy || state_.listPopupBlocked || !listHasRows()) return;
    StatusPanel[1]->clear();
    ListPopupMenu->popup(ListView1->viewport()->mapToGlobal(at));
}

void TFind::showLinesPopup(const QPoint& at) {
    // Opens only while the viewer has lines and the commands on lines are switched on.
    if (state_.busy || !ListBox1->hasLines() || !commands_.allowed(Command::EditFile)) return;
    LinesPopupMenu->popup(ListBox1->viewport()->mapToGlobal(at));
}

void TFind::scheduleIdle() {
    if (idleTimer_ && !idleTimer_->isActive()) idleTimer_->start();
}

bool TFind::idlePending() const { return idleTimer_ && idleTimer_->isActive(); }

void TFind::ApplicationEvents1Idle() {
    if (state_.busy) return;
    if (onOptionsTab()) {
        if (SizeSpinEdit->value() < 1) SizeSpinEdit->setValue(1);
        if (DaysAgoSpinEdit->value() < 1) DaysAgoSpinEdit->setValue(1);
    }
    if (listHasRows()) state_.listPopupBlocked = false;
    // While the Lines Viewer shows the current row, that row stays selected.
    if (ListBox1->hasLines() && list_.browsedIndex >= 0 &&
        static_cast<std::size_t>(list_.browsedIndex) < list_.count() &&
        !list_.row(static_cast<std::size_t>(list_.browsedIndex)).selected && list_.selectedCount() == 0) {
        list_.selectOnly(static_cast<std::size_t>(list_.browsedIndex));
        listSelectionChanged();
    }
    rememberGeometry();
}

bool TFind::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    // The tab pages get their final size only after the window's own resize.
    if (type == QEvent::Resize && (watched == SearchReplaceTab || watched == FindTab)) {
        if (watched == SearchReplaceTab) placeSearchReplaceControls();
        else placeFindTabControls();
        return false;
    }
    if (type == QEvent::KeyRelease || type == QEvent::MouseButtonRelease || type == QEvent::FocusIn) {
        if (auto* w = qobject_cast<QWidget*>(watched); w && w->window() == this) scheduleIdle();
        return false;
    }
    if (type != QEvent::KeyPress || watched != QApplication::focusWidget()) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (onOptionsTab()) return false;
        if (activeTab() == engine::Tab::Find) {
            if (!FindBit->isEnabled() || widget == FindMemo || FindMemo->isAncestorOf(widget)) return false;
        } else {
            if (!SearchSpeedButton->isEnabled()) return false;
            for (QPlainTextEdit* memo : {SearchMemo, Memo2})
                if (widget == memo || memo->isAncestorOf(widget)) return false;
        }
        // Deferred, so the key event is finished before the run starts pumping events.
        QTimer::singleShot(0, this, &TFind::FindButtonClick);
        return true;
    }
    if (key->key() == Qt::Key_Delete && (widget == ListView1 || ListView1->isAncestorOf(widget)) &&
        list_.selectedCount() > 0 && !onOptionsTab()) {
        const bool allowed = activeTab() == engine::Tab::Find ? FindBit->isEnabled()
                                                             : commands_.enabled(Command::DeleteItems);
        if (allowed && commands_.invoke(Command::DeleteItems)) return true;
    }
    return false;
}

void TFind::closeEvent(QCloseEvent* event) {
    if (state_.busy) {
        // The run is still on the stack below us; stop it and close once it has unwound.
        closeAfterRun_ = true;
        StopFindBitSClick();
        event->ignore();
        return;
    }
    saveSettings();
    event->accept();
}

void TFind::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !isMaximized() && listVisible() && state_.normalHeight > 0 &&
        !composing_)
        resize(width(), std::max(minimumHeight(), state_.normalHeight));
}

// --- the window's own commands ---

void TFind::Button1Click() {
    QString start = ComboBoxPath->currentText().trimmed();
    if (start.isEmpty() || !QFileInfo(start).isDir()) start = QDir::homePath();
    std::string chosen = prompter_->selectFolder("Select the directory", start.toStdString());
    if (chosen.empty()) return;
    while (chosen.size() > 1 && chosen.back() == '/') chosen.pop_back();
    setComboText(ComboBoxPath, chosen);
}

void TFind::ClearListClick() {
    if (state_.busy) return;
    state_.listPopupBlocked = true;
    commands_.setAllowed(Command::ModifyAll, false);
    commands_.setAllowed(Command::ModifySelected, false);
    commands_.setAllowed(Command::Undo, false);
    list_.ClearResults();
    ListBox1->clear();
    StatusPanel[0]->clear();
    StatusPanel[1]->clear();
    disableLineCommands();
    commands_.setAllowed(Command::SaveList, false);
    commands_.setAllowed(Command::DeleteItems, false);
    ListXPCheckBox->setChecked(false);
    ListXPCheckBox->setEnabled(false);
    setPathEnabled(true);
    state_.listActive = false;
    applyTabShown();
    ClearFindBit->setEnabled(false);
    ClearSearchBit->setEnabled(false);
    if (!onOptionsTab() && activeTab() == engine::Tab::SearchAndReplace) setEraseBackups(true);
}

void TFind::Contents1Click() {
    if (state_.busy) return;  // the Help menu is off during a run; so is its key
    if (!help_.show(contextHelpTopic()))
        prompter_->messageBox(kProgramTitle, "The help pages could not be opened.", engine::MessageIcon::Warning);
}

QString TFind::contextHelpTopic() const {
    const QWidget* focus = focusWidget();
    auto within = [focus](const QWidget* w) { return focus && (focus == w || w->isAncestorOf(focus)); };
    const bool findField = within(FindMemo) || within(FindEditComboBox);
    const bool searchField = within(SearchMemo) || within(SearchEdit);
    if (within(RegExpFind) || within(RegExpSearch) || (RegExpFind->isChecked() && findField) ||
        (RegExpSearch->isChecked() && searchField))
        return QString::fromLatin1(kRegExprHelpTopic);
    return QStringLiteral("Intro.htm");
}

void TFind::About1Click() {
    if (!state_.busy) prompter_->showAbout(this);
}

void TFind::Exit1Click() { close(); }

}  // namespace vsr::ui

namespace vsr::ui {

std::string TFind::modificationFailure(std::size_t row) const {
    return modify_ ? modify_->driver().failureOf(row) : std::string();
}

}  // namespace vsr::ui
