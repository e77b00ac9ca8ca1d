#pragma once
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/query/search_conditions.h"
#include "engine/search/search_driver.h"
#include "engine/search/search_host.h"
#include "platform/clock.h"
#include "platform/attribute_changer.h"
#include "platform/file_manager.h"
#include "durable/file_store.h"
#include "platform/file_system.h"
#include "platform/launcher.h"
#include "platform/locale_formats.h"
#include "platform/trash.h"
#include "platform/type_names.h"
#include "settings/settings_storage.h"
#include "results/result_list.h"
#include "ui/common/command_set.h"
#include "ui/common/help_topics.h"
#include "ui/common/metrics.h"
#include "ui/common/typed_text.h"
#include "ui/prompt/window_prompter.h"
#include "ui/rules/control_rules.h"
#include "ui/window/window_services.h"
#include "ui/window/window_state.h"
#include "ui/commands/command_line_session_host.h"
#include "ui/commands/project_host.h"
#include "ui/commands/recent_projects_host.h"
#include "ui/commands/report_commands_host.h"
#include "ui/commands/window_driver_host.h"
#include "ui/commands/window_file_ops_host.h"
#include "ui/commands/window_modify_host.h"
#include "ui/common/text_refusals.h"
#include "ui/lines/lines_browser_host.h"
#include "ui/lines/lines_previewer_host.h"
#include "ui/list/list_commands_host.h"

class QAbstractButton;
class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QSplitter;
class QTabWidget;
class QToolButton;
class QTimer;
class QTreeView;
class QWidget;

namespace vsr::ui {

class BusyIndicator;
class LinesViewer;
class ListCommands;
class ProjectCommands;
class WindowModify;
class SettingsDialogSet;
class ResultsModel;
class LinesPreviewer;
class TAboutForm;

class WindowIndex;

// A part of the window: a child of the program's own that is not a control (the browser, the
// commands, the drop target...). Parts reach the window through their hosts only.
bool isWindowPart(const QObject& child);

// The main window: it holds the search conditions, starts every command and keeps the
// controls consistent with the conditions and with whether the list may be modified.
class TFind : public QMainWindow,
              public engine::SearchHost,
              public LinesBrowserHost,
              public LinesPreviewerHost,
              public ListCommandsHost,
              public WindowDriverHost,
              public ProjectHost,
              public RecentProjectsHost,
              public ReportCommandsHost,
              public WindowModifyHost,
              public WindowFileOpsHost,
              public CommandLineSessionHost {
    Q_OBJECT
public:
    explicit TFind(WindowServices services = {}, QWidget* parent = nullptr);
    ~TFind() override;

    // --- state other parts read ---
    const WindowState& state() const override { return state_; }
    WindowState& mutableState() override { return state_; }
    CommandSet& commands() override { return commands_; }
    const Metrics& metrics() const override { return metrics_; }
    HelpTopics& help() override { return help_; }
    ListCommands& listCommands() override { return *listCommands_; }
    SettingsDialogSet& settingsDialogs() override { return *settingsDialogs_; }

    using TextRefusals = ui::TextRefusals;
    // The controls as a conditions record, as a run takes them at its start. Typed texts are
    // in the chosen text encoding; what it cannot hold goes to `refusals` and must not run.
    engine::SearchConditions currentConditions(engine::Tab tab, TextRefusals* refusals = nullptr) const override;
    // The text encoding chosen in the settings dialog, and typed texts in it.
    platform::CodePageId textEncoding() const override { return stored_.dialog.textEncoding; }
    TypedText typedText() const { return TypedText(textEncoding()); }
    // Puts a conditions record into the controls (loading settings or a project).
    void applyConditions(const engine::SearchConditions& c);

    // --- handlers named after their controls ---
    void FindButtonClick() override;
    // The search of the active tab, as Find starts it; a report's search keeps the window in
    // its running state afterwards.
    void runSearch(const engine::RunOptions& options) override;
    void StopFindBitSClick();
    void Button1Click();
    void ClearListClick() override;
    void Contents1Click();
    // Intro.htm, or the expression syntax when the focus is on a Reg Expr query type or its field.
    QString contextHelpTopic() const;
    void About1Click();
    void Exit1Click();
    void ApplicationEvents1Idle() override;

    // The commands on lines, switched off together, and resetting the Lines Viewer.
    void disableLineCommands() override;
    void resetLines();
    // Begin-of-run and end-of-run states of a tab.
    void beginRunState(engine::Tab tab);
    void endRunState(engine::Tab tab) override;
    // Applies the layout of the tab that is shown now (rule F), as after a tab change.
    void applyTabShown();

    // --- engine::SearchHost ---
    void pumpMessages() override;
    engine::Prompter& prompter() override;
    void setStatusText(int panel, const std::string& text) override;
    engine::RunState& runState() override { return run_; }
    results::ResultList& results() override { return list_; }
    void beginRun(engine::Tab tab) override;
    void endRun(engine::Tab tab) override;
    void setBusyAnimation(bool on) override;
    void fieldNormalized(engine::HistoryField field, const std::string& text) override;
    void historyUsed(engine::HistoryField field, const std::string& text) override;
    void searchFinished(const engine::RunSummary& summary) override;
    void selectExpressionCharacter(engine::Tab tab, int position) override;

    // The query field shown on each tab and the list state the rules read.
    QueryView findQueryView() const;
    QueryView searchQueryView() const;
    engine::QueryType queryType() const;
    engine::SearchType searchType() const override;
    engine::ModificationType modificationType() const override;
    bool listHasRows() const override { return !list_.empty(); }
    bool rowSelected() const override;
    bool foundColumnExists() const { return !list_.foundColumnAbsent(); }
    bool listVisible() const override;
    engine::Tab activeTab() const override;
    bool onOptionsTab() const override;
    bool intervalsInUse() const override;
    QAction* stopKey() override { return stopKey_; }

    // --- for the parts that work on the list ---
    // Shows the list's own selection in the view, after the window or a command chose rows.
    void listSelectionChanged() override;
    // The list's commands after a change of the selection; `withDeleteItems` on the Search and
    // Replace tab.
    void enableListCommands(bool withDeleteItems) override;
    // What the window remembers between runs besides the conditions: the folders its file
    // dialogs start in and the like.
    settings::MainOptions& storedOptions() override { return stored_.options; }
    // The folder a file dialog starts in when none is remembered.
    std::string homeFolder() const override;

    // --- for the parts that run commands of their own (modify, reports, settings) ---
    // The conditions of the last search, as it took them from the controls.
    const engine::SearchConditions& runConditions() const override { return runConditions_; }
    // The settings dialog's values as the window loads and saves them.
    settings::DialogSettings& dialogSettings() override { return stored_.dialog; }
    // A close asked for while a command ran stopped it; the close waits until the run unwinds.
    bool closeAskedDuringRun() const override { return closeAfterRun_; }
    // Selects the character of a regular-expression error the run reported, now that the
    // query field is enabled again.
    void selectPendingExpressionError() override;
    // After a command's run has unwound: closes the window if that was asked for meanwhile,
    // and goes idle.
    void commandRunEnded() override;
    void scheduleIdle() override;
    // The window's idle step is due and has not run yet.
    bool idlePending() const;
    // Rule D: an edit that changes the conditions the list was built with (the search text,
    // "Create Backups").
    void SearchTextChange() override;
    // The typed query is other bytes in a new text encoding: the list no longer holds what
    // Modify would change, as after a change of "Case Sensitive".
    void textEncodingChanged() { CaseOrWholeWordsClick(false); }
    // Scrolls the list so that `row` is in sight.
    void scrollRowIntoView(std::size_t row) override;
    // Makes the column at least `width96` wide (at 96 dots per inch) where it is shown.
    void widenColumn(results::Column column, int width96) override;
    // Puts bytes into a field: a name as the file system gives it, a typed text in the encoding.
    void setComboText(QComboBox* combo, const std::string& text);
    void setMemoText(QPlainTextEdit* memo, const std::string& text);

    // --- for the project commands: the window's settings as a whole ---
    const WindowServices& services() const { return services_; }
    // The controls and the settings dialog's values into the stored settings, which are returned.
    settings::StoredSettings& collectSettings() override;
    settings::StoredSettings& storedSettings() { return stored_; }
    // The stored settings into the controls; their dialog part into the settings dialog.
    void applyStoredSettings();
    void applyDialogSettings() override;
    // The settings as the store keeps them, into the window, as at its start.
    void loadSettings();
    // A project's settings into the controls, and the window after an incorrect one.
    void applyProject(const settings::StoredSettings& project) override;
    void restoreAfterIncorrectProject() override;
    // The tab shown (Find or Search and Replace), and the driver's fields.
    void showTab(engine::Tab tab) override;
    void allowHideSearchList() override;
    void setRunField(project::RunField field, const std::string& text) override;
    project::RunFields runFields() const override;
    bool pathIsFolder() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class WindowDrop;
    friend void nameWindowControls(TFind& window);

    // --- controls, named as in the window's design. The window's own parts (the drop target,
    // the accessible names) reach them; every other part through its host, tests by object name.
    QWidget* Panel1 = nullptr;
    QLabel* PathLabel = nullptr;
    QComboBox* ComboBoxPath = nullptr;
    QPushButton* Button1 = nullptr;
    BusyIndicator* Animate1 = nullptr;
    QWidget* Panel1Row2 = nullptr;
    QLabel* MasksLabel = nullptr;
    QComboBox* MasksComboBox = nullptr;
    QCheckBox* ListXPCheckBox = nullptr;
    QCheckBox* SensitiveCheckBox = nullptr;
    QCheckBox* WholeWordsCheckBox = nullptr;
    QToolButton* GotoSpeedButton = nullptr;
    QToolButton* FileEditSpeed = nullptr;

    QTabWidget* PageControl1 = nullptr;
    QWidget* FindTab = nullptr;
    QWidget* SearchReplaceTab = nullptr;
    QWidget* OptionsTab = nullptr;

    QWidget* QueryTypeRow = nullptr;
    QLabel* TypeLabel = nullptr;
    QButtonGroup* QueryTypeGroup = nullptr;
    QRadioButton* PhraseButton = nullptr;
    QRadioButton* WordsorButton = nullptr;
    QRadioButton* WordsandButton = nullptr;
    QRadioButton* AltaVistaButton = nullptr;
    QRadioButton* TextButton = nullptr;
    QRadioButton* RegExpFind = nullptr;
    QLabel* QueryLabel = nullptr;
    QComboBox* FindEditComboBox = nullptr;
    QPlainTextEdit* FindMemo = nullptr;
    QPushButton* FindBit = nullptr;
    QPushButton* StopFindBit = nullptr;
    QPushButton* ClearFindBit = nullptr;
    QCheckBox* ArchivesCheckBox = nullptr;

    QGroupBox* SearchTypeBox = nullptr;
    QButtonGroup* SearchTypeGroup = nullptr;
    QRadioButton* TextSearchButton = nullptr;
    QRadioButton* PhraseButtonReplace = nullptr;
    QRadioButton* RegExpSearch = nullptr;
    QGroupBox* ModificationTypeBox = nullptr;
    QButtonGroup* ModificationTypeGroup = nullptr;
    QRadioButton* NoneButton = nullptr;
    QRadioButton* ReplaceButton = nullptr;
    QRadioButton* ReplaceSpacesButton = nullptr;
    QRadioButton* InsertButton = nullptr;
    QRadioButton* InsertAfterButton = nullptr;
    QRadioButton* DeleteButton = nullptr;
    QCheckBox* PreviewCheckBox = nullptr;
    QLabel* SearchLabel = nullptr;
    QComboBox* SearchEdit = nullptr;
    QPlainTextEdit* SearchMemo = nullptr;
    QLabel* ToLabel = nullptr;
    QLabel* ReplaceLabel = nullptr;
    QLabel* OrInsertLabel = nullptr;
    QComboBox* Edit2 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QWidget* SearchButtonsRow = nullptr;
    QPushButton* SearchSpeedButton = nullptr;
    QPushButton* ReplaceSelectedSpeedButton = nullptr;
    QPushButton* ReplaceAllBit = nullptr;
    QPushButton* DeleteItemsBit = nullptr;
    QPushButton* ClearSearchBit = nullptr;
    QWidget* StopUndoPanel = nullptr;
    QToolButton* StopSearch = nullptr;
    QToolButton* UndoReplaceBit = nullptr;

    QCheckBox* IncludeSubdirectoriesCheckBox = nullptr;
    QCheckBox* CreatBackupCheckBox = nullptr;
    QCheckBox* AllSizeCheckBox = nullptr;
    QLabel* SizeLabel = nullptr;
    QRadioButton* AllLeastRadioButton = nullptr;
    QRadioButton* AllMostRadioButton = nullptr;
    QSpinBox* SizeSpinEdit = nullptr;
    QComboBox* KBComboBox = nullptr;
    QCheckBox* AllDateCheckBox = nullptr;
    QLabel* LastModifiedLabel = nullptr;
    QRadioButton* BetweenRadioButton = nullptr;
    QRadioButton* NewestRadioButton = nullptr;
    QDateEdit* MinDateTimePicker = nullptr;
    QLabel* AndLabel = nullptr;
    QDateEdit* MaxDateTimePicker = nullptr;
    QSpinBox* DaysAgoSpinEdit = nullptr;
    QLabel* DaysAgoLabel = nullptr;
    QCheckBox* TrimLeftCheckBox = nullptr;
    QCheckBox* TrimRightCheckBox = nullptr;
    QCheckBox* ExpPointCheckBox = nullptr;
    QCheckBox* ExpSpaceCheckBox = nullptr;
    QCheckBox* RegExprXPCheckBox = nullptr;
    QCheckBox* ModifyXPCheckBox = nullptr;
    QCheckBox* PhraseXPCheckBox = nullptr;

    QSplitter* Splitter1 = nullptr;
    QTreeView* ListView1 = nullptr;
    LinesViewer* ListBox1 = nullptr;
    QLabel* StatusPanel[3] = {nullptr, nullptr, nullptr};

    QMenu* FileMenu = nullptr;
    QMenu* ReportMenu = nullptr;
    QMenu* ProjectMenu = nullptr;
    QMenu* HelpMenu = nullptr;
    QMenu* ListPopupMenu = nullptr;
    QMenu* LinesPopupMenu = nullptr;
    QAction* Exit1 = nullptr;
    QAction* Contents1 = nullptr;
    QAction* About1 = nullptr;
    QAction* CreateReport = nullptr;
    QAction* SaveList1 = nullptr;
    QAction* SaveListPopup = nullptr;

    // --- what the window's parts see of it, through their hosts ---
    QWidget& windowWidget() override { return *this; }
    engine::SearchSink& searchSink() override { return *this; }
    engine::RunControl& runControl() override { return *this; }
    WindowDriverHost& driverHost() override { return *this; }
    ProjectCommands& projectCommands() override { return *projects_; }
    settings::SettingsStorage* settingsStorage() const override { return services_.settings; }
    const platform::LocaleFormats* localeFormats() const override { return services_.formats; }
    WindowPrompter* dialogPrompter() const override { return services_.dialogPrompter; }
    std::string modificationFailure(std::size_t row) const override;
    LinesViewer* linesViewer() override { return ListBox1; }
    QTreeView* resultsView() override { return ListView1; }
    void clearStatus(int panel) override;
    void showStatusNow(int panel, const std::string& text) override;
    void onTabChanged(QObject* context, std::function<void()> f) override;
    void selectQueryCharacter(engine::Tab tab, int position) override;
    std::vector<QWidget*> runStarters() override;
    std::vector<QMenu*> runMenus() override;
    QAbstractButton* stopButton(engine::Tab tab) override;
    void setSearchInResultsEnabled(bool on) override;
    bool previewChosen() const override;
    bool backupsChosen() const override;
    void onBackupsClicked(QObject* context, std::function<void(bool checked)> f) override;
    bool pathGiven() const override;
    QMenu* fileMenu() override { return FileMenu; }
    QMenu* projectMenu() override { return ProjectMenu; }
    QMenu* listPopupMenu() override { return ListPopupMenu; }
    QMenu* linesPopupMenu() override { return LinesPopupMenu; }
    QMenu* markAllMenu() override { return markAllMenu_; }
    QMenu* fileIntervalMenu() override { return fileIntervalMenu_; }
    QMenu* popupIntervalMenu() override { return popupIntervalMenu_; }
    QAction* popupDeleteItemsAction() override { return popupDeleteItems_; }
    ResultsModel* resultsModel() override { return model_; }

    // Composition (find_window_compose.cpp, find_window_options.cpp, find_window_menus.cpp).
    void composeTopPanel();
    void composeFindTab();
    void composeSearchReplaceTab();
    void composeOptionsTab();
    void composeResultsArea();
    void composeStatusBar();
    void composeMenus();
    void composePopupMenus();
    void connectControls();

    // Layout (find_window_layout.cpp).
    int windowHeightFor(int spec96) const;
    void setCompactHeight(int page96);
    void setListLayout(int page96);
    void placeFindTabControls();
    void placeSearchReplaceControls();
    void applyWidthRules();
    void showListArea(bool on);

    // Rules (find_window_rules.cpp).
    void QueryTypeClick();                 // rule A
    void SearchTypeClick();                // rule B
    void ModificationTypeClick();          // rule C
    void FindTextChange();
    void CaseOrWholeWordsClick(bool wholeWords);
    void MultilineOptionClick();
    void RegExprOptionClick();
    void OptionsEnableRules();             // rule E
    void SearchInResultsClick();
    void PageControl1Changing(int from, int to);
    void PageControl1Change();             // rule F
    void ReportMenuShow();
    // The rules' inputs as the controls hold them now, and their result put into the controls.
    rules::WindowInputs ruleInputs(rules::Change change) const;
    void applyControlStates(const rules::ControlStates& states, engine::Tab runTab = engine::Tab::Find);
    void followRules(rules::Change change);
    void setEraseBackups(bool on);
    void setPathEnabled(bool on);
    void setTabHeadersVisible(engine::Tab runTab, bool visible);

    // Projects (find_window_project.cpp).
    void hideListOn(engine::Tab tab);
    void clearEmptyRadioGroups();

    // Conditions and history (find_window_conditions.cpp).
    QComboBox* historyCombo(engine::HistoryField field) const;
    bool holdsNames(const QComboBox* combo) const;
    void showListPopup(const QPoint& at);
    void showLinesPopup(const QPoint& at);
    void widenCutColumns();

    // Settings (find_window_settings.cpp).
    void saveSettings();
    void applyColumnWidths();
    void rememberColumnWidths();
    void collectStoredSettings();
    void rememberGeometry();

    WindowServices services_;
    Metrics metrics_;
    HelpTopics help_;
    CommandSet commands_;
    WindowState state_;
    engine::RunState run_;
    results::ResultList list_;
    struct OwnServices;
    std::unique_ptr<OwnServices> own_;
    std::unique_ptr<engine::SearchDriver> driver_;
    // The folder's content index, while "Index this folder for fast searches" is on.
    std::unique_ptr<WindowIndex> index_;
    engine::SearchConditions runConditions_;
    settings::StoredSettings stored_;
    bool closeAfterRun_ = false;
    // A regular-expression error of the run: the query field's character to select once the
    // run has left its running state and the field is enabled again.
    std::optional<std::pair<engine::Tab, int>> pendingExpressionError_;
    bool updatingFields_ = false;
    bool layingOut_ = false;
    bool resizingColumns_ = false;
    // Logical columns whose width the user set by dragging; the window leaves them alone.
    std::set<int> userSizedColumns_;
    QTimer* idleTimer_ = nullptr;
    // While a run lasts, the status texts it sets wait here and reach their panels at most
    // every kStatusPaceMs: a panel changed at every pass of the message loop would have the
    // window lay out and paint its status bar some seventy times a second.
    static constexpr int kStatusPaceMs = 100;
    void showPendingStatus();
    std::optional<QString> pendingStatus_[3];
    QTimer* statusTimer_ = nullptr;
    ResultsModel* model_ = nullptr;
    LinesPreviewer* previewer_ = nullptr;
    // The pop-up menus' entries that keep or skip replacements, and what enables them.
    QAction* keepReplacement_ = nullptr;
    QAction* keepFileLines_ = nullptr;
    QAction* keepFileList_ = nullptr;
    void connectReviewEntries();
    std::unique_ptr<WindowPrompter> ownPrompter_;
    WindowPrompter* prompter_ = nullptr;
    bool composing_ = true;
    bool settingsSaved_ = false;
    int lastTab_ = 0;
    // The list commands and the settings dialogs, made after the settings are loaded.
    struct PartServices;
    std::unique_ptr<PartServices> parts_;
    std::unique_ptr<SettingsDialogSet> settingsDialogs_;
    std::unique_ptr<ListCommands> listCommands_;
    // Parts the window reaches itself; they are its children.
    ProjectCommands* projects_ = nullptr;
    WindowModify* modify_ = nullptr;
    // Menus and actions the parts enable, and the Escape key a run makes live.
    QMenu* markAllMenu_ = nullptr;
    QMenu* fileIntervalMenu_ = nullptr;
    QMenu* popupIntervalMenu_ = nullptr;
    QAction* popupDeleteItems_ = nullptr;
    QAction* stopKey_ = nullptr;
};

}  // namespace vsr::ui
