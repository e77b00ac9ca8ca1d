// Building the controls of the window's upper half: the top panel and the Find and
// Search and Replace tabs. Positions are set by the layout code on every resize.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGroupBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>

#include "ui/widgets/busy_indicator.h"
#include "ui/window/find_window.h"
#include "ui/widgets/glyphs.h"
#include "ui/common/object_names.h"

namespace vsr::ui {

namespace {

QComboBox* newHistoryCombo(QWidget* parent, const char* name) {
    auto* combo = named(new QComboBox(parent), name);
    combo->setEditable(true);
    // History is kept by the run itself (most recent first), never by Qt's own insert on Enter.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxCount(64);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(8);
    // Matches from the history are offered in a list and taken only when chosen; a match that
    // differs in case is another path or query, so it neither completes nor replaces the text.
    auto* completer = new QCompleter(combo->model(), combo);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setCaseSensitivity(Qt::CaseSensitive);
    combo->setCompleter(completer);
    return combo;
}

QPlainTextEdit* memo(QWidget* parent, const char* name) {
    auto* edit = named(new QPlainTextEdit(parent), name);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setTabChangesFocus(false);
    // Tab stops of 2 dialog units: a dialog unit is a quarter of the average character width.
    edit->setTabStopDistance(edit->fontMetrics().averageCharWidth() * 2.0 / 4.0);
    return edit;
}

QRadioButton* radio(QWidget* parent, QButtonGroup* group, int id, const char* name, const char* caption) {
    auto* button = named(new QRadioButton(QString::fromUtf8(caption), parent), name);
    group->addButton(button, id);
    return button;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, const char* hint = nullptr) {
    auto* b = named(new QPushButton(QString::fromUtf8(caption), parent), name);
    if (hint) b->setToolTip(QString::fromUtf8(hint));
    b->setAutoDefault(false);
    return b;
}

}  // namespace

void TFind::composeTopPanel() {
    Panel1 = named(new QWidget, "Panel1");
    PathLabel = named(new QLabel(QStringLiteral("Path"), Panel1), "PathLabel");
    ComboBoxPath = newHistoryCombo(Panel1, "ComboBoxPath");
    Button1 = button(Panel1, "Button1", "Browse...");
    Animate1 = named(new BusyIndicator(Panel1), "Animate1");

    // The second row has no width rules of its own, so a layout spreads it.
    Panel1Row2 = named(new QWidget(Panel1), "Panel1Row2");
    auto* row = new QHBoxLayout(Panel1Row2);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(metrics_.s(8));
    MasksLabel = named(new QLabel(QStringLiteral("Masks"), Panel1Row2), "MasksLabel");
    MasksComboBox = newHistoryCombo(Panel1Row2, "MasksComboBox");
    MasksComboBox->setMinimumWidth(metrics_.s(110));
    ListXPCheckBox = named(new QCheckBox(QStringLiteral("Search in Results"), Panel1Row2), "ListXPCheckBox");
    SensitiveCheckBox = named(new QCheckBox(QStringLiteral("Case Sensitive"), Panel1Row2), "SensitiveCheckBox");
    WholeWordsCheckBox = named(new QCheckBox(QStringLiteral("Whole Words"), Panel1Row2), "WholeWordsCheckBox");
    // Flat picture buttons: the row has no room for two more captions at the narrowest width.
    GotoSpeedButton = named(new QToolButton(Panel1Row2), "GotoSpeedButton");
    GotoSpeedButton->setText(QStringLiteral("Execute File"));
    GotoSpeedButton->setToolTip(QStringLiteral("Execute File"));
    GotoSpeedButton->setIcon(glyphIcon(Glyph::Execute, metrics_.s(16)));
    FileEditSpeed = named(new QToolButton(Panel1Row2), "FileEditSpeed");
    FileEditSpeed->setText(QStringLiteral("Edit File"));
    FileEditSpeed->setToolTip(QStringLiteral("Edit File"));
    FileEditSpeed->setIcon(glyphIcon(Glyph::Edit, metrics_.s(16)));
    for (QToolButton* b : {GotoSpeedButton, FileEditSpeed}) {
        b->setAutoRaise(true);
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        b->setIconSize(QSize(metrics_.s(16), metrics_.s(16)));
    }
    row->addWidget(MasksLabel);
    row->addWidget(MasksComboBox, 1);
    row->addWidget(ListXPCheckBox);
    row->addWidget(SensitiveCheckBox);
    row->addWidget(WholeWordsCheckBox);
    row->addSpacing(metrics_.s(4));
    row->addWidget(GotoSpeedButton);
    row->addWidget(FileEditSpeed);
    ListXPCheckBox->setEnabled(false);
    Panel1->setFixedHeight(metrics_.s(px::kPanel1Height));
}

void TFind::composeFindTab() {
    FindTab = named(new QWidget, "FindTab");
    QueryTypeRow = named(new QWidget(FindTab), "QueryTypeRow");
    auto* row = new QHBoxLayout(QueryTypeRow);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(metrics_.s(12));
    TypeLabel = named(new QLabel(QStringLiteral("Type:"), QueryTypeRow), "TypeLabel");
    QueryTypeGroup = new QButtonGroup(this);
    QueryTypeGroup->setObjectName(QStringLiteral("QueryTypeGroup"));
    using engine::QueryType;
    PhraseButton = radio(QueryTypeRow, QueryTypeGroup, int(QueryType::Phrase), "PhraseButton", "Phrase");
    WordsorButton = radio(QueryTypeRow, QueryTypeGroup, int(QueryType::WordsOr), "WordsorButton", "Words: or");
    WordsandButton = radio(QueryTypeRow, QueryTypeGroup, int(QueryType::WordsAnd), "WordsandButton", "Words: and");
    AltaVistaButton =
        radio(QueryTypeRow, QueryTypeGroup, int(QueryType::SearchEngine), "AltaVistaButton", "Search Engine");
    TextButton = radio(QueryTypeRow, QueryTypeGroup, int(QueryType::Multiline), "TextButton", "Multiline");
    RegExpFind = radio(QueryTypeRow, QueryTypeGroup, int(QueryType::RegExpr), "RegExpFind", "Reg Expr");
    RegExpFind->setToolTip(QStringLiteral("Regular Expression (F1: its syntax)"));
    row->addWidget(TypeLabel);
    for (QAbstractButton* b : QueryTypeGroup->buttons()) row->addWidget(b);
    row->addStretch(1);
    PhraseButton->setChecked(true);

    QueryLabel = named(new QLabel(QStringLiteral("Query"), FindTab), "QueryLabel");
    FindEditComboBox = newHistoryCombo(FindTab, "FindEditComboBox");
    FindEditComboBox->lineEdit()->setMaxLength(4001);
    FindMemo = memo(FindTab, "FindMemo");
    FindMemo->hide();
    FindBit = button(FindTab, "FindBit", "Find", "Find Filles ");
    StopFindBit = button(FindTab, "StopFindBit", "Stop", "Stop Find");
    ClearFindBit = button(FindTab, "ClearFindBit", "Hide List", "Clear and Shut List");
    StopFindBit->setEnabled(false);
    ClearFindBit->setEnabled(false);
    // Off until asked for: then the members of archives and the text of documents are searched
    // like files, for this tab only (modification never opens them).
    ArchivesCheckBox = named(new QCheckBox(QStringLiteral("Search in archives and documents"), FindTab),
                             "ArchivesCheckBox");
}

void TFind::composeSearchReplaceTab() {
    SearchReplaceTab = named(new QWidget, "SearchReplaceTab");
    using engine::ModificationType;
    using engine::SearchType;

    SearchTypeBox = named(new QGroupBox(QStringLiteral(" Search Type "), SearchReplaceTab), "SearchTypeBox");
    SearchTypeGroup = new QButtonGroup(this);
    SearchTypeGroup->setObjectName(QStringLiteral("SearchTypeGroup"));
    TextSearchButton =
        radio(SearchTypeBox, SearchTypeGroup, int(SearchType::Multiline), "TextSearchButton", "Multiline");
    PhraseButtonReplace =
        radio(SearchTypeBox, SearchTypeGroup, int(SearchType::Phrase), "PhraseButtonReplace", "Phrase");
    RegExpSearch = radio(SearchTypeBox, SearchTypeGroup, int(SearchType::RegExpr), "RegExpSearch", "Reg Expr");
    RegExpSearch->setToolTip(QStringLiteral("Regular Expression (F1: its syntax)"));
    // Two rows of radio buttons fit the group boxes at the narrowest window width.
    auto* typeGrid = new QGridLayout(SearchTypeBox);
    typeGrid->setContentsMargins(metrics_.s(8), metrics_.s(2), metrics_.s(8), metrics_.s(2));
    typeGrid->setVerticalSpacing(0);
    typeGrid->addWidget(TextSearchButton, 0, 0);
    typeGrid->addWidget(PhraseButtonReplace, 0, 1);
    typeGrid->addWidget(RegExpSearch, 1, 0);
    PhraseButtonReplace->setChecked(true);

    ModificationTypeBox =
        named(new QGroupBox(QStringLiteral(" Modification Type "), SearchReplaceTab), "ModificationTypeBox");
    ModificationTypeGroup = new QButtonGroup(this);
    ModificationTypeGroup->setObjectName(QStringLiteral("ModificationTypeGroup"));
    auto* modGrid = new QGridLayout(ModificationTypeBox);
    modGrid->setContentsMargins(metrics_.s(8), metrics_.s(2), metrics_.s(8), metrics_.s(2));
    modGrid->setVerticalSpacing(0);
    NoneButton = radio(ModificationTypeBox, ModificationTypeGroup, int(ModificationType::None), "NoneButton", "None");
    ReplaceButton =
        radio(ModificationTypeBox, ModificationTypeGroup, int(ModificationType::Replace), "ReplaceButton", "Replace");
    ReplaceSpacesButton = radio(ModificationTypeBox, ModificationTypeGroup, int(ModificationType::Clear),
                                "ReplaceSpacesButton", "Clear");
    InsertButton = radio(ModificationTypeBox, ModificationTypeGroup, int(ModificationType::InsertBefore),
                         "InsertButton", "Insert Before");
    InsertAfterButton = radio(ModificationTypeBox, ModificationTypeGroup, int(ModificationType::InsertAfter),
                              "InsertAfterButton", "Insert After");
    DeleteButton =
        radio(ModificationTypeBox, ModificationTypeGroup, int(ModificationType::Delete), "DeleteButton", "Delete");
    int cell = 0;
    for (QAbstractButton* b : ModificationTypeGroup->buttons()) {
        modGrid->addWidget(b, cell / 3, cell % 3);
        ++cell;
    }
    NoneButton->setChecked(true);
    // Beside the types: whether the Lines Viewer shows the lines as they will be written.
    PreviewCheckBox = named(new QCheckBox(QStringLiteral("Preview"), ModificationTypeBox), "PreviewCheckBox");
    PreviewCheckBox->setToolTip(QStringLiteral("Show under each found line the line as Modify will write it"));
    modGrid->addWidget(PreviewCheckBox, 0, 3);

    SearchLabel = named(new QLabel(QStringLiteral("Search"), SearchReplaceTab), "SearchLabel");
    SearchEdit = newHistoryCombo(SearchReplaceTab, "SearchEdit");
    SearchEdit->lineEdit()->setMaxLength(4001);
    SearchMemo = memo(SearchReplaceTab, "SearchMemo");
    SearchMemo->hide();
    ReplaceLabel = named(new QLabel(QStringLiteral("Replace"), SearchReplaceTab), "ReplaceLabel");
    OrInsertLabel = named(new QLabel(QStringLiteral("or Insert"), SearchReplaceTab), "OrInsertLabel");
    ToLabel = named(new QLabel(QStringLiteral("To"), SearchReplaceTab), "ToLabel");
    Edit2 = newHistoryCombo(SearchReplaceTab, "Edit2");
    Edit2->lineEdit()->setMaxLength(4001);
    Memo2 = memo(SearchReplaceTab, "Memo2");
    Memo2->hide();

    SearchButtonsRow = named(new QWidget(SearchReplaceTab), "SearchButtonsRow");
    auto* buttons = new QHBoxLayout(SearchButtonsRow);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(metrics_.s(6));
    SearchSpeedButton = button(SearchButtonsRow, "SearchSpeedButton", "Search", "Search Filles ");
    ReplaceSelectedSpeedButton = button(SearchButtonsRow, "ReplaceSelectedSpeedButton", "Modify Selected");
    ReplaceAllBit = button(SearchButtonsRow, "ReplaceAllBit", "Modify All");
    DeleteItemsBit = button(SearchButtonsRow, "DeleteItemsBit", "Delete Items", "Delete Selected Items");
    ClearSearchBit = button(SearchButtonsRow, "ClearSearchBit", "Hide List", "Clear and Shut List ");
    for (QPushButton* b : {SearchSpeedButton, ReplaceSelectedSpeedButton, ReplaceAllBit, DeleteItemsBit, ClearSearchBit})
        buttons->addWidget(b);
    buttons->addStretch(1);
    ClearSearchBit->setEnabled(false);

    StopUndoPanel = named(new QWidget(SearchReplaceTab), "StopUndoPanel");
    auto* stopUndo = new QVBoxLayout(StopUndoPanel);
    stopUndo->setContentsMargins(0, 0, 0, 0);
    stopUndo->setSpacing(metrics_.s(4));
    StopSearch = named(new QToolButton(StopUndoPanel), "StopSearch");
    StopSearch->setIcon(glyphIcon(Glyph::Stop, metrics_.s(16)));
    StopSearch->setToolTip(QStringLiteral("Stop"));
    UndoReplaceBit = named(new QToolButton(StopUndoPanel), "UndoReplaceBit");
    UndoReplaceBit->setIcon(glyphIcon(Glyph::Undo, metrics_.s(16)));
    UndoReplaceBit->setToolTip(QStringLiteral("Undo"));
    for (QToolButton* b : {StopSearch, UndoReplaceBit}) {
        b->setAutoRaise(true);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        stopUndo->addWidget(b);
    }
    StopSearch->setEnabled(false);
}

}  // namespace vsr::ui
