#include "ui/dialogs/settings_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/text_encoding.h"
#include "ui/prompt/window_prompter.h"
#include "ui/dialogs/file_ignore_dialog.h"
#include "ui/dialogs/path_ignore_dialog.h"
#include "ui/widgets/radio_focus.h"
#include "ui/window/window_accessibility.h"
#include "ui/common/object_names.h"

namespace vsr::ui {

namespace {

const char* const kPlaceholders[] = {"%PrFullName%", "%PrPath%", "%PrName%", "%PrExt%", "%NumLine%"};
const char* const kContextSizes[] = {"1", "2", "3", "5", "10", "15", "20", "30", "50", "100", "All"};
const int kThreadChoices[] = {1, 2, 3, 4, 6, 8, 12, 16, 24, 32};

}  // namespace

TSettDlg::TSettDlg(TPathIgnoreDlg* pathIgnore, TFileIgnoreDlg* fileIgnore, WindowPrompter* prompter, QWidget* parent)
    : RevertingDialog(parent, QStringLiteral("Manual/Settings.htm")),
      pathIgnore_(pathIgnore),
      fileIgnore_(fileIgnore),
      prompter_(prompter) {
    setObjectName(QStringLiteral("TSettDlg"));
    setWindowTitle(QStringLiteral("Settings"));
    auto* layout = new QVBoxLayout(this);

    // Editor command with its placeholder menu and program picker.
    auto* editorRow = new QHBoxLayout;
    auto* editorLabel = new QLabel(QStringLiteral("Editor:"), this);
    EditorEdit = named(new QLineEdit(this), "EditorEdit");
    editorLabel->setBuddy(EditorEdit);
    XPButtonEditor = named(new QToolButton(this), "XPButtonEditor");
    XPButtonEditor->setArrowType(Qt::DownArrow);
    XPButtonEditor->setToolTip(QStringLiteral("Insert a placeholder"));
    XPButtonEditor->setAccessibleName(QStringLiteral("Insert a placeholder"));
    PopupMenuEditor = named(new QMenu(this), "PopupMenuEditor");
    for (const char* p : kPlaceholders) {
        const QString text = QString::fromLatin1(p);
        QAction* action = PopupMenuEditor->addAction(text);
        action->setData(text);
        connect(action, &QAction::triggered, this, [this, text] {
            // Opening the menu may have taken the focus and the selection from the edit.
            if (selectionLength_ > 0) EditorEdit->setSelection(selectionStart_, selectionLength_);
            else EditorEdit->setCursorPosition(caret_);
            insertPlaceholder(text);
        });
    }
    connect(XPButtonEditor, &QToolButton::clicked, this, [this] { openPlaceholderMenu(); });
    Button2 = named(new QPushButton(QStringLiteral("Browse..."), this), "Button2");
    Button2->setAutoDefault(false);
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    editorRow->addWidget(editorLabel);
    editorRow->addWidget(EditorEdit, 1);
    editorRow->addWidget(XPButtonEditor);
    editorRow->addWidget(Button2);
    layout->addLayout(editorRow);

    // Line separators.
    auto* separators = named(new QGroupBox(QStringLiteral(" Line Separators in Altered Files "), this), "SeparatorsGroup");
    auto* sepRow = new QHBoxLayout(separators);
    sepRow->addWidget(new QLabel(QStringLiteral("Type:"), separators));
    WinXPRadioButton = named(new QRadioButton(QStringLiteral("Windows"), separators), "WinXPRadioButton");
    UnXPRadioButton = named(new QRadioButton(QStringLiteral("Unix"), separators), "UnXPRadioButton");
    MacXPRadioButton = named(new QRadioButton(QStringLiteral("Macintosh"), separators), "MacXPRadioButton");
    auto* sepGroup = new QButtonGroup(this);
    for (QRadioButton* b : {WinXPRadioButton, UnXPRadioButton, MacXPRadioButton}) {
        sepGroup->addButton(b);
        sepRow->addWidget(b);
    }
    sepRow->addStretch(1);
    tabToCheckedButton(sepGroup);
    layout->addWidget(separators);

    // Browse Context size.
    auto* contextRow = new QGridLayout;
    BrowseComboBox = named(new QComboBox(this), "BrowseComboBox");
    for (const char* s : kContextSizes) BrowseComboBox->addItem(QString::fromLatin1(s));
    BrowseComboBox->setCurrentIndex(3);
    nameComboBox(BrowseComboBox, QStringLiteral("Browse Context lines"));
    auto* contextLabel = new QLabel(QStringLiteral("Browse Context: Show till"), this);
    contextLabel->setBuddy(BrowseComboBox);
    contextRow->addWidget(contextLabel, 0, 0);
    contextRow->addWidget(BrowseComboBox, 0, 1);
    contextRow->addWidget(new QLabel(QStringLiteral("lines above and below from each"), this), 0, 2);
    contextRow->addWidget(new QLabel(QStringLiteral("found occurrence"), this), 1, 2);
    contextRow->setColumnStretch(3, 1);
    layout->addLayout(contextRow);

    // How many threads read and match files during a search.
    auto* threadsRow = new QHBoxLayout;
    ThreadsComboBox = named(new QComboBox(this), "ThreadsComboBox");
    ThreadsComboBox->addItem(QStringLiteral("Automatic"), 0);
    for (int n : kThreadChoices) ThreadsComboBox->addItem(QString::number(n), n);
    auto* threadsLabel = new QLabel(QStringLiteral("Search threads:"), this);
    threadsLabel->setBuddy(ThreadsComboBox);
    nameComboBox(ThreadsComboBox, QStringLiteral("Search threads"));
    threadsRow->addWidget(threadsLabel);
    threadsRow->addWidget(ThreadsComboBox);
    threadsRow->addStretch(1);
    layout->addLayout(threadsRow);

    // The encoding of queries and of the files searched, modified and written.
    // Two rows, the fallback under the encoding it serves: side by side the row is wider than the
    // dialog's other rows, and the layout squeezed the second label and the choices to fit.
    auto* encodingRows = new QGridLayout;
    TextEncodingComboBox = named(new QComboBox(this), "TextEncodingComboBox");
    for (platform::CodePageId id : platform::kTextEncodings)
        TextEncodingComboBox->addItem(QString::fromUtf8(platform::textEncodingCaption(id)), static_cast<int>(id));
    auto* encodingLabel = new QLabel(QStringLiteral("Text encoding:"), this);
    encodingLabel->setBuddy(TextEncodingComboBox);
    nameComboBox(TextEncodingComboBox, QStringLiteral("Text encoding"));
    encodingRows->addWidget(encodingLabel, 0, 0);
    encodingRows->addWidget(TextEncodingComboBox, 0, 1);
    // Under UTF-8, the page a file that is not valid UTF-8 is read in, or none: "as bytes".
    FallbackEncodingComboBox = named(new QComboBox(this), "FallbackEncodingComboBox");
    for (platform::CodePageId id : platform::kTextEncodings)
        if (id != platform::CodePageId::Utf8)
            FallbackEncodingComboBox->addItem(QString::fromUtf8(platform::textEncodingCaption(id)), static_cast<int>(id));
    FallbackEncodingComboBox->addItem(QStringLiteral("as bytes"), kAsBytes);
    auto* fallbackLabel = new QLabel(QStringLiteral("Files that are not UTF-8:"), this);
    fallbackLabel->setBuddy(FallbackEncodingComboBox);
    nameComboBox(FallbackEncodingComboBox, QStringLiteral("Files that are not UTF-8"));
    encodingRows->addWidget(fallbackLabel, 1, 0);
    encodingRows->addWidget(FallbackEncodingComboBox, 1, 1);
    encodingRows->setColumnStretch(2, 1);
    // As wide as their longest choice, measured now rather than when first shown.
    for (QComboBox* combo : {TextEncodingComboBox, FallbackEncodingComboBox})
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // A single-byte text encoding reads every file in its page: no fallback applies.
    auto fallbackApplies = [this, fallbackLabel] {
        const bool utf8 = textEncoding() == platform::CodePageId::Utf8;
        FallbackEncodingComboBox->setEnabled(utf8);
        fallbackLabel->setEnabled(utf8);
    };
    connect(TextEncodingComboBox, &QComboBox::currentIndexChanged, this, fallbackApplies);
    layout->addLayout(encodingRows);

    // Ignore lists.
    auto* ignore = named(new QGroupBox(QStringLiteral(" Ignore Lists "), this), "IgnoreListsGroup");
    auto* ignoreGrid = new QGridLayout(ignore);
    IgnorePathsXPCheck = named(new QCheckBox(QStringLiteral("Ignore Directories"), ignore), "IgnorePathsXPCheck");
    EditPathsXPButton = named(new QPushButton(QStringLiteral("Edit List..."), ignore), "EditPathsXPButton");
    IgnoreFilesXPCheck = named(new QCheckBox(QStringLiteral("Ignore Files"), ignore), "IgnoreFilesXPCheck");
    EditFilesXPButton = named(new QPushButton(QStringLiteral("Edit List..."), ignore), "EditFilesXPButton");
    for (QPushButton* b : {EditPathsXPButton, EditFilesXPButton}) b->setAutoDefault(false);
    // Both read "Edit List..."; a screen reader tells them apart by these.
    EditPathsXPButton->setAccessibleName(QStringLiteral("Edit Directory Ignore List"));
    EditFilesXPButton->setAccessibleName(QStringLiteral("Edit File Ignore List"));
    ignoreGrid->addWidget(IgnorePathsXPCheck, 0, 0);
    ignoreGrid->addWidget(EditPathsXPButton, 0, 1);
    ignoreGrid->addWidget(IgnoreFilesXPCheck, 1, 0);
    ignoreGrid->addWidget(EditFilesXPButton, 1, 1);
    // Beside the two lists, as a third list the tree itself keeps: what its ignore files of
    // version control ignore. Off until turned on; both tabs' searches follow it.
    GitignoreXPCheck =
        named(new QCheckBox(QStringLiteral("Skip what .gitignore ignores"), ignore), "GitignoreXPCheck");
    GitignoreXPCheck->setToolTip(QStringLiteral(
        "Leave out the files and folders that the .gitignore and .ignore files, and .git/info/exclude, ignore"));
    ignoreGrid->addWidget(GitignoreXPCheck, 2, 0, 1, 2);
    // A cache of what each file of the searched folder holds, so that a search passes over the
    // files that can't match; the rows stay those of a search without it.
    IndexFolderXPCheck =
        named(new QCheckBox(QStringLiteral("Index this folder for fast searches"), ignore), "IndexFolderXPCheck");
    IndexFolderXPCheck->setToolTip(QStringLiteral(
        "Keep an index of the searched folder's files, kept fresh while the window runs, and pass over the files "
        "it shows can't match"));
    ignoreGrid->addWidget(IndexFolderXPCheck, 3, 0, 1, 2);
    ignoreGrid->setColumnStretch(2, 1);
    connect(IgnorePathsXPCheck, &QCheckBox::toggled, this, [this] { updateEditListButtons(); });
    connect(IgnoreFilesXPCheck, &QCheckBox::toggled, this, [this] { updateEditListButtons(); });
    connect(EditPathsXPButton, &QPushButton::clicked, this, [this] { EditPathsXPButtonClick(); });
    connect(EditFilesXPButton, &QPushButton::clicked, this, [this] { EditFilesXPButtonClick(); });
    layout->addWidget(ignore);

    // Read-only and hidden files.
    auto* modify = named(new QGroupBox(QStringLiteral(" Modify Read Only and Hidden Files "), this), "ModifyGroup");
    auto* modifyRow = new QVBoxLayout(modify);
    ReadOnly = named(new QCheckBox(QStringLiteral("Replace Read Only Files"), modify), "ReadOnly");
    ReplaceHiddenCheckBox = named(new QCheckBox(QStringLiteral("Replace Hidden Files"), modify), "ReplaceHiddenCheckBox");
    modifyRow->addWidget(ReadOnly);
    modifyRow->addWidget(ReplaceHiddenCheckBox);
    layout->addWidget(modify);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(makeOkButton());
    buttons->addWidget(makeCancelButton());
    layout->addLayout(buttons);

    setValues(settings::DialogSettings{});
    setMinimumWidth(460);
}

void TSettDlg::showEvent(QShowEvent* event) {
    // A window opens at no more than two thirds of the screen's width, which cut labels and
    // choices short: this one opens as wide as its rows need, where the screen has the room.
    if (const QScreen* shown = screen())
        resize(size().expandedTo(sizeHint()).boundedTo(shown->availableGeometry().size()));
    RevertingDialog::showEvent(event);
}

settings::DialogSettings TSettDlg::values() const {
    const Snapshot v = isOpen() ? saved_ : current();
    settings::DialogSettings d;
    d.editorA = v.editor.toStdString();
    d.winXPRadioButton = v.win;
    d.unXPRadioButton = v.unixSep;
    d.macXPRadioButton = v.mac;
    d.browseComboBox = v.context;
    d.searchThreads = v.threads;
    d.textEncoding = v.textEncoding;
    d.fallbackEncoding = v.fallbackEncoding;
    d.ignorePathsXPCh = v.ignorePaths;
    d.ignoreFilesXPCh = v.ignoreFiles;
    d.gitignoreXPCh = v.gitignore;
    d.indexFolderXPCh = v.index;
    d.readOnly = v.readOnly;
    d.replaceHiddenCheckBox = v.hidden;
    if (pathIgnore_) {
        d.ignoreSubFoldXPCh = pathIgnore_->acceptedIgnoreSubfolders();
        d.directIgnoreList = pathIgnore_->acceptedListText();
    }
    if (fileIgnore_) d.fileIgnoreList = fileIgnore_->acceptedListText();
    return d;
}

void TSettDlg::setValues(const settings::DialogSettings& d) {
    EditorEdit->setText(QString::fromStdString(d.editorA));
    // Exactly one separator is on; a record with none takes the platform's own, LF.
    if (d.winXPRadioButton) WinXPRadioButton->setChecked(true);
    else if (d.macXPRadioButton) MacXPRadioButton->setChecked(true);
    else UnXPRadioButton->setChecked(true);
    const int context = d.browseComboBox >= 0 && d.browseComboBox < BrowseComboBox->count() ? d.browseComboBox : 3;
    BrowseComboBox->setCurrentIndex(context);
    selectThreads(d.searchThreads);
    selectEncoding(d.textEncoding);
    selectFallback(d.fallbackEncoding);
    IgnorePathsXPCheck->setChecked(d.ignorePathsXPCh);
    IgnoreFilesXPCheck->setChecked(d.ignoreFilesXPCh);
    GitignoreXPCheck->setChecked(d.gitignoreXPCh);
    IndexFolderXPCheck->setChecked(d.indexFolderXPCh);
    ReadOnly->setChecked(d.readOnly);
    ReplaceHiddenCheckBox->setChecked(d.replaceHiddenCheckBox);
    if (pathIgnore_) {
        pathIgnore_->setIgnoreSubfolders(d.ignoreSubFoldXPCh);
        pathIgnore_->setListText(d.directIgnoreList);
    }
    if (fileIgnore_) fileIgnore_->setListText(d.fileIgnoreList);
    updateEditListButtons();
}

std::string TSettDlg::lineSeparator() const {
    if (UnXPRadioButton->isChecked()) return "\n";
    if (MacXPRadioButton->isChecked()) return "\r";
    return "\r\n";
}

std::string TSettDlg::editorCommand() const { return EditorEdit->text().toStdString(); }

int TSettDlg::browseContextIndex() const { return BrowseComboBox->currentIndex(); }

int TSettDlg::searchThreads() const { return ThreadsComboBox->currentData().toInt(); }

platform::CodePageId TSettDlg::textEncoding() const {
    return static_cast<platform::CodePageId>(TextEncodingComboBox->currentData().toInt());
}

void TSettDlg::selectEncoding(platform::CodePageId id) {
    const int index = TextEncodingComboBox->findData(static_cast<int>(id));
    TextEncodingComboBox->setCurrentIndex(index >= 0 ? index : 0);
}

std::optional<platform::CodePageId> TSettDlg::fallbackEncoding() const {
    const int data = FallbackEncodingComboBox->currentData().toInt();
    if (data == kAsBytes) return std::nullopt;
    return static_cast<platform::CodePageId>(data);
}

void TSettDlg::selectFallback(std::optional<platform::CodePageId> id) {
    const int index = FallbackEncodingComboBox->findData(id ? static_cast<int>(*id) : kAsBytes);
    FallbackEncodingComboBox->setCurrentIndex(index >= 0 ? index : 0);
}

void TSettDlg::selectThreads(int threads) {
    if (threads < 0 || threads > settings::kMaxSearchThreads) threads = 0;
    int index = ThreadsComboBox->findData(threads);
    if (index < 0) {
        // Keep the items in order: the new one goes before the first larger count.
        index = 1;
        while (index < ThreadsComboBox->count() && ThreadsComboBox->itemData(index).toInt() < threads) ++index;
        ThreadsComboBox->insertItem(index, QString::number(threads), threads);
    }
    ThreadsComboBox->setCurrentIndex(index);
}

void TSettDlg::Button2Click() {
    if (!prompter_) return;
    const std::string program = prompter_->openProgram(initialDirOpenEditor);
    if (program.empty()) return;
    const QString chosen = QString::fromStdString(program);
    initialDirOpenEditor = QFileInfo(chosen).absolutePath().toStdString();
    EditorEdit->setText(QLatin1Char('"') + chosen + QStringLiteral("\" \"%PrFullName%\""));
}

void TSettDlg::openPlaceholderMenu() {
    caret_ = EditorEdit->cursorPosition();
    selectionStart_ = EditorEdit->selectionStart();
    selectionLength_ = static_cast<int>(EditorEdit->selectedText().size());
    PopupMenuEditor->popup(XPButtonEditor->mapToGlobal(QPoint(XPButtonEditor->width(), XPButtonEditor->height())));
}

void TSettDlg::insertPlaceholder(const QString& placeholder) { EditorEdit->insert(placeholder); }

void TSettDlg::EditPathsXPButtonClick() {
    if (pathIgnore_ && prompter_) prompter_->runModal(*pathIgnore_);
}

void TSettDlg::EditFilesXPButtonClick() {
    if (fileIgnore_ && prompter_) prompter_->runModal(*fileIgnore_);
}

void TSettDlg::updateEditListButtons() {
    EditPathsXPButton->setEnabled(IgnorePathsXPCheck->isChecked());
    EditFilesXPButton->setEnabled(IgnoreFilesXPCheck->isChecked());
}

TSettDlg::Snapshot TSettDlg::current() const {
    Snapshot v;
    v.editor = EditorEdit->text();
    v.win = WinXPRadioButton->isChecked();
    v.unixSep = UnXPRadioButton->isChecked();
    v.mac = MacXPRadioButton->isChecked();
    v.context = BrowseComboBox->currentIndex();
    v.threads = ThreadsComboBox->currentData().toInt();
    v.textEncoding = textEncoding();
    v.fallbackEncoding = fallbackEncoding();
    v.ignorePaths = IgnorePathsXPCheck->isChecked();
    v.ignoreFiles = IgnoreFilesXPCheck->isChecked();
    v.gitignore = GitignoreXPCheck->isChecked();
    v.index = IndexFolderXPCheck->isChecked();
    v.readOnly = ReadOnly->isChecked();
    v.hidden = ReplaceHiddenCheckBox->isChecked();
    return v;
}

void TSettDlg::remember() {
    saved_ = current();
    updateEditListButtons();
}

void TSettDlg::restore() {
    EditorEdit->setText(saved_.editor);
    if (saved_.win) WinXPRadioButton->setChecked(true);
    if (saved_.unixSep) UnXPRadioButton->setChecked(true);
    if (saved_.mac) MacXPRadioButton->setChecked(true);
    BrowseComboBox->setCurrentIndex(saved_.context);
    selectThreads(saved_.threads);
    selectEncoding(saved_.textEncoding);
    selectFallback(saved_.fallbackEncoding);
    IgnorePathsXPCheck->setChecked(saved_.ignorePaths);
    IgnoreFilesXPCheck->setChecked(saved_.ignoreFiles);
    GitignoreXPCheck->setChecked(saved_.gitignore);
    IndexFolderXPCheck->setChecked(saved_.index);
    ReadOnly->setChecked(saved_.readOnly);
    ReplaceHiddenCheckBox->setChecked(saved_.hidden);
}

}  // namespace vsr::ui
