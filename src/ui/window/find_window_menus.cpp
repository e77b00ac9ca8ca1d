// The main menu and the two pop-up menus. Entries that another part carries out are bound
// to their command; the window enables them by its rules once that part registered a handler.
#include <QButtonGroup>
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>

#include "ui/window/find_window.h"

namespace vsr::ui {

namespace {

QAction* entry(QMenu* menu, const char* name, const char* caption, const char* key = nullptr) {
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromLatin1(name));
    if (key) a->setShortcut(QKeySequence(QString::fromLatin1(key)));
    return a;
}

QMenu* submenu(QMenu* menu, const char* name, const char* caption) {
    QMenu* sub = menu->addMenu(QString::fromUtf8(caption));
    sub->setObjectName(QString::fromLatin1(name));
    sub->menuAction()->setObjectName(QString::fromLatin1(name));
    return sub;
}

}  // namespace

void TFind::composeMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto bind = [this](Command c, QObject* control) { commands_.bind(c, control); };

    FileMenu = bar->addMenu(QStringLiteral("&File"));
    FileMenu->setObjectName(QStringLiteral("File1"));
    bind(Command::ExecuteFile, entry(FileMenu, "GoTo2", "&Execute File ", "F9"));
    bind(Command::EditFile, entry(FileMenu, "FileEditOperation", "Edit &File ", "F4"));
    FileMenu->addSeparator();
    bind(Command::BatchReplace, entry(FileMenu, "BatchReplace1", "Batch Replace", "Shift+F1"));
    FileMenu->addSeparator();
    bind(Command::Select, entry(FileMenu, "FileCommands1", "&Select"));
    bind(Command::SelectAll, entry(FileMenu, "SelectAll", "Select &All", "Ctrl+A"));
    bind(Command::Deselect, entry(FileMenu, "Deselect1", "&Deselect"));
    bind(Command::CopyFiles, entry(FileMenu, "CopyFiles1", "&Copy Files", "F5"));
    bind(Command::RenameFiles, entry(FileMenu, "RenameFiles", "&Rename Files", "Ctrl+F6"));
    bind(Command::DeleteFiles, entry(FileMenu, "DeleteFiles1", "D&elete Files", "F8"));
    FileMenu->addSeparator();
    bind(Command::OpenDirectory, entry(FileMenu, "OpenDirectory", "Open Directory", "F10"));
    FileMenu->addSeparator();
    QMenu* interval = submenu(FileMenu, "ModifyInterval1", "&Modification Interval");
    fileIntervalMenu_ = interval;
    bind(Command::MarkFrom, entry(interval, "MarkFrom1", "Mark &From"));
    bind(Command::MarkTo, entry(interval, "MarkTo1", "Mark &To"));
    QMenu* markAll = submenu(interval, "MarkAll1", "Mark &All");
    markAllMenu_ = markAll;
    bind(Command::MarkAllBrowsed, entry(markAll, "ForBrowsedFile1", "For &Browsed File"));
    bind(Command::MarkAllSelected, entry(markAll, "ForSelectedFiles3", "For &Selected Files"));
    bind(Command::MarkAllListed, entry(markAll, "ForListedFiles1", "For &All Listed Files"));
    QMenu* unmarkAll = submenu(interval, "UnmarkAll1", "&Unmark All");
    bind(Command::UnmarkAllBrowsed, entry(unmarkAll, "ForBrowsedFile2", "For &Browsed File"));
    bind(Command::UnmarkAllSelected, entry(unmarkAll, "ForSelectedFile1", "For &Selected Files"));
    bind(Command::UnmarkAllListed, entry(unmarkAll, "ForListedFiles2", "For &All Listed Files"));
    FileMenu->addSeparator();
    bind(Command::EraseBackups, entry(FileMenu, "EraseBackup1", "Erase &Backups"));
    FileMenu->addSeparator();
    bind(Command::Settings, entry(FileMenu, "Settings", "Settin&gs", "F6"));
    FileMenu->addSeparator();
    // The desktop's usual keys where the design gives none and no control of the window uses them.
    Exit1 = entry(FileMenu, "Exit1", "E&xit", "Ctrl+Q");
    connect(Exit1, &QAction::triggered, this, &TFind::Exit1Click);

    ReportMenu = bar->addMenu(QStringLiteral("&Report"));
    ReportMenu->setObjectName(QStringLiteral("Report1"));
    CreateReport = entry(ReportMenu, "CreateReport", "Create &Report", "F7");
    bind(Command::CreateReport, CreateReport);
    bind(Command::BrowseContext, entry(ReportMenu, "BrowseContext1", "Browse &Context", "F3"));
    ReportMenu->addSeparator();
    SaveList1 = entry(ReportMenu, "SaveList1", "&Save List", "F2");
    bind(Command::SaveList, SaveList1);
    bind(Command::SaveLines, entry(ReportMenu, "SaveView", "Save &Lines", "F12"));
    connect(ReportMenu, &QMenu::aboutToShow, this, &TFind::ReportMenuShow);

    ProjectMenu = bar->addMenu(QStringLiteral("&Project"));
    ProjectMenu->setObjectName(QStringLiteral("Project1"));
    QAction* openProject = entry(ProjectMenu, "OpenProject1", "&Open Project", "Ctrl+F5");
    openProject->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_O)});
    bind(Command::OpenProject, openProject);
    // "&Rename Files" comes first and owns Ctrl+F6; two live bindings of one key would make
    // Qt drop both, so this entry only shows the key.
    QAction* saveProject = entry(ProjectMenu, "SaveProject1", "&Save Project");
    saveProject->setText(saveProject->text() + QStringLiteral("\tCtrl+F6"));
    saveProject->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    bind(Command::SaveProject, saveProject);

    HelpMenu = bar->addMenu(QStringLiteral("&Help"));
    HelpMenu->setObjectName(QStringLiteral("Help1"));
    Contents1 = entry(HelpMenu, "Contents1", "&Contents", "F1");
    About1 = entry(HelpMenu, "About1", "&About");
    connect(Contents1, &QAction::triggered, this, &TFind::Contents1Click);
    connect(About1, &QAction::triggered, this, &TFind::About1Click);

    // Escape stops a run; it is live only then (the run states switch it), so that it never
    // takes the key from a control.
    auto* stopKey = new QAction(this);
    stopKey_ = stopKey;
    stopKey->setObjectName(QStringLiteral("StopKey"));
    stopKey->setShortcut(QKeySequence(Qt::Key_Escape));
    stopKey->setShortcutContext(Qt::WindowShortcut);
    stopKey->setEnabled(false);
    addAction(stopKey);
    // A run, or a Browse fill or another pumped command holding the window (the Stop button live).
    connect(stopKey, &QAction::triggered, this, [this] {
        if (state_.busy || StopFindBit->isEnabled() || StopSearch->isEnabled()) StopFindBitSClick();
    });

    // Buttons that trigger commands of other parts.
    bind(Command::ExecuteFile, GotoSpeedButton);
    bind(Command::EditFile, FileEditSpeed);
    bind(Command::ModifySelected, ReplaceSelectedSpeedButton);
    bind(Command::ModifyAll, ReplaceAllBit);
    bind(Command::DeleteItems, DeleteItemsBit);
    bind(Command::Undo, UndoReplaceBit);
}

void TFind::composePopupMenus() {
    auto bind = [this](Command c, QObject* control) { commands_.bind(c, control); };

    ListPopupMenu = new QMenu(this);
    ListPopupMenu->setObjectName(QStringLiteral("ListPopupMenu"));
    bind(Command::ModifySelected, entry(ListPopupMenu, "ModifySelected1", "M&odify Selected"));
    bind(Command::ModifyAll, entry(ListPopupMenu, "ModifyAll1", "Modify &All"));
    ListPopupMenu->addSeparator();
    bind(Command::ExecuteFile, entry(ListPopupMenu, "GoTo1", "&Execute File"));
    bind(Command::EditFile, entry(ListPopupMenu, "FileEdit1", "Edit &File"));
    ListPopupMenu->addSeparator();
    popupDeleteItems_ = entry(ListPopupMenu, "DeleteItems1", "Delete &Items");
    bind(Command::DeleteItems, popupDeleteItems_);
    SaveListPopup = entry(ListPopupMenu, "SaveList", "Save &List");
    bind(Command::SaveList, SaveListPopup);
    ListPopupMenu->addSeparator();
    bind(Command::Select, entry(ListPopupMenu, "Select2", "&Select"));
    bind(Command::SelectAll, entry(ListPopupMenu, "SelectAll2", "Select &All"));
    bind(Command::Deselect, entry(ListPopupMenu, "Deselect2", "&Deselect"));
    ListPopupMenu->addSeparator();
    bind(Command::CopyFiles, entry(ListPopupMenu, "CopyFiles2", "Copy &Files"));
    bind(Command::DeleteFiles, entry(ListPopupMenu, "DeleteFiles2", "D&elete Files"));
    bind(Command::RenameFiles, entry(ListPopupMenu, "RenameFiles2", "&Rename Files"));
    bind(Command::OpenDirectory, entry(ListPopupMenu, "OpenDirectory2", "Open Directory"));
    QMenu* interval = submenu(ListPopupMenu, "ModifyInterval2", "&Modification Interval");
    popupIntervalMenu_ = interval;
    interval->menuAction()->setVisible(false);  // reachable only through its keys, as designed
    bind(Command::MarkFrom, entry(interval, "ModificationFrom2", "Modification &From"));
    bind(Command::MarkTo, entry(interval, "ModificationTo2", "Modification &To"));
    QMenu* checkAll = submenu(interval, "CheckAll2", "Check &All");
    bind(Command::MarkAllBrowsed, entry(checkAll, "ForBrowsedFile3", "For &Browsed File"));
    bind(Command::MarkAllSelected, entry(checkAll, "ForSelectedFiles4", "For &Selected Files"));
    bind(Command::MarkAllListed, entry(checkAll, "ForListedFiles3", "For &All Listed Files"));
    QMenu* uncheckAll = submenu(interval, "UncheckAll2", "&Uncheck All");
    bind(Command::UnmarkAllBrowsed, entry(uncheckAll, "ForBrowsedFile4", "For &Browsed File"));
    bind(Command::UnmarkAllSelected, entry(uncheckAll, "ForSelectedFile2", "For &Selected Files"));
    bind(Command::UnmarkAllListed, entry(uncheckAll, "ForListedFiles4", "For &All Listed Files"));
    ListPopupMenu->addSeparator();
    // Shown while the replacements are reviewed; Space on a row does the same.
    keepFileList_ = entry(ListPopupMenu, "KeepFile2", "&Keep or Skip the File's Replacements\tSpace");
    ListPopupMenu->addSeparator();
    bind(Command::Settings, entry(ListPopupMenu, "Settings2", "Settin&gs"));

    LinesPopupMenu = new QMenu(this);
    LinesPopupMenu->setObjectName(QStringLiteral("LinesPopupMenu"));
    bind(Command::ExecuteFile, entry(LinesPopupMenu, "GoTo3", "&Execute File"));
    bind(Command::EditFile, entry(LinesPopupMenu, "FileEdit3", "Edit &File"));
    bind(Command::BrowseContext, entry(LinesPopupMenu, "BrowseContext2", "Browse &Context"));
    bind(Command::SaveLines, entry(LinesPopupMenu, "SaveLines3", "&Save Lines"));
    bind(Command::OpenDirectory, entry(LinesPopupMenu, "OpenDirectory3", "Open Directory"));
    LinesPopupMenu->addSeparator();
    bind(Command::MarkFrom, entry(LinesPopupMenu, "MarkFrom3", "Mark &From"));
    bind(Command::MarkTo, entry(LinesPopupMenu, "MarkTo3", "Mark &To"));
    QMenu* markAll = submenu(LinesPopupMenu, "MarkAll3", "Mark &All");
    bind(Command::MarkAllBrowsed, entry(markAll, "ForBrowsedFile5", "For &Browsed File"));
    bind(Command::MarkAllSelected, entry(markAll, "ForSelectedFiles5", "For &Selected Files"));
    bind(Command::MarkAllListed, entry(markAll, "ForListedFiles5", "For &All Listed Files"));
    QMenu* unmarkAll = submenu(LinesPopupMenu, "UnmarkAll3", "Unmark All");
    bind(Command::UnmarkAllBrowsed, entry(unmarkAll, "ForBrowsedFile6", "For &Browsed File"));
    bind(Command::UnmarkAllSelected, entry(unmarkAll, "ForSelectedFile3", "For &Selected Files"));
    bind(Command::UnmarkAllListed, entry(unmarkAll, "ForListedFiles6", "For &All Listed Files"));
    LinesPopupMenu->addSeparator();
    keepReplacement_ = entry(LinesPopupMenu, "KeepReplacement3", "&Keep or Skip This Replacement\tSpace");
    keepFileLines_ = entry(LinesPopupMenu, "KeepFile3", "Keep or Skip the File's &Replacements\tShift+Space");
    LinesPopupMenu->addSeparator();
    bind(Command::Settings, entry(LinesPopupMenu, "Settings3", "Settin&gs"));
}

}  // namespace vsr::ui
