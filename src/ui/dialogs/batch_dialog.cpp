#include "ui/dialogs/batch_dialog.h"

#include <filesystem>

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolTip>
#include <QVBoxLayout>

#include "engine/search/search_host.h"
#include "platform/file_read.h"
#include "durable/safe_writer.h"
#include "platform/attribute_changer.h"
#include "platform/file_system.h"
#include "project/batch_file.h"
#include "project/line_reader.h"
#include "ui/dialogs/batch_table_model.h"
#include "ui/prompt/window_prompter.h"
#include "ui/widgets/screen_fit.h"
#include "ui/common/typed_text.h"

namespace vsr::ui {

namespace {

constexpr const char* kBatchFilter = "TBL Files [*.tbl]|*.tbl";
constexpr const char* kBatchExtension = "tbl";
constexpr const char* kHelpTopic = "Manual/BatchReplace.htm";
// "Number of Rows" takes larger numbers while typing; they are lowered to the table's maximum.
constexpr int kSpinTypingLimit = 999999999;

bool exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// The cell editor: one line of at most 1000 characters, and the arrow keys move the caret
// inside a wholly selected text instead of leaving the cell.
class CellDelegate : public QStyledItemDelegate {
public:
    CellDelegate(BatchTableModel::Encoding encoding, QObject* parent)
        : QStyledItemDelegate(parent), textEncoding_(std::move(encoding)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        auto* edit = new QLineEdit(parent);
        edit->setObjectName(QStringLiteral("CellEditor"));
        edit->setFrame(false);
        auto* self = const_cast<CellDelegate*>(this);
        QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, self](const QString& text) {
            // A character the text encoding cannot hold is not typed: it would be searched as "?".
            std::string refusal;
            const platform::CodePageId encoding = self->textEncoding_ ? self->textEncoding_() : platform::CodePageId::Utf8;
            if (!TypedText(encoding).bytes(text, &refusal)) {
                QApplication::beep();
                QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), QString::fromUtf8(refusal), edit);
                edit->setText(edit->property(kHeldText).toString());
                return;
            }
            edit->setProperty(kHeldText, text);
            const std::string bytes = text.toStdString();
            const std::string kept = project::cellText(bytes);
            // The table holds what is typed at once, so closing the dialog never loses a cell.
            if (kept == bytes) {
                emit self->commitData(edit);
                return;
            }
            const std::string_view line = project::oneLine(bytes);
            if (project::firstCharacters(line, project::kMaxCellLength).size() < line.size()) QApplication::beep();
            edit->setText(QString::fromStdString(kept));
        });
        edit->installEventFilter(const_cast<CellDelegate*>(this));
        return edit;
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (edit && event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            // Escape is the dialog's "Exit", also from a cell: the editor opens by itself on the
            // current cell and holds nothing to take back, as the table keeps what is typed at once.
            if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
                if (auto* dialog = qobject_cast<QDialog*>(edit->window())) {
                    dialog->reject();
                    return true;
                }
            }
            const bool plain = !(key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier));
            const bool whole = !edit->text().isEmpty() && edit->selectedText() == edit->text();
            if (plain && whole) {
                const int end = static_cast<int>(edit->text().size());
                switch (key->key()) {
                case Qt::Key_Home: edit->setCursorPosition(0); edit->deselect(); return true;
                case Qt::Key_End:
                case Qt::Key_Right: edit->deselect(); edit->setCursorPosition(end); return true;
                case Qt::Key_Left: edit->deselect(); edit->setCursorPosition(end - 1); return true;
                default: break;
                }
            }
        }
        return QStyledItemDelegate::eventFilter(watched, event);
    }

private:
    static constexpr const char* kHeldText = "heldText";  // the editor's last text the encoding holds
    BatchTableModel::Encoding textEncoding_;
};

}  // namespace

TBatchDlg::TBatchDlg(Services services, QWidget* parent) : QDialog(parent), services_(std::move(services)) {
    setObjectName(QStringLiteral("TBatchDlg"));
    setWindowTitle(QStringLiteral("Batch Replace"));
    const Metrics& m = services_.metrics;

    model_ = new BatchTableModel(table_, services_.textEncoding, this);
    StringGrid1 = new QTableView;
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setAccessibleName(QStringLiteral("Search and replacement pairs"));
    StringGrid1->setModel(model_);
    StringGrid1->setItemDelegate(new CellDelegate(services_.textEncoding, StringGrid1));
    StringGrid1->setWordWrap(false);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::AllEditTriggers);
    StringGrid1->verticalHeader()->setDefaultSectionSize(m.s(20));
    StringGrid1->horizontalHeader()->resizeSection(0, m.s(table_.searchColumnWidth));
    StringGrid1->horizontalHeader()->resizeSection(1, m.s(table_.replaceColumnWidth));
    StringGrid1->installEventFilter(this);
    connect(StringGrid1->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { keepColumnMinimums(); });

    auto button = [this](QPushButton*& b, const char* name, const char* caption) {
        b = new QPushButton(QString::fromUtf8(caption));
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    RowsSpinEdit = new QSpinBox;
    RowsSpinEdit->setObjectName(QStringLiteral("RowsSpinEdit"));
    RowsSpinEdit->setRange(1, kSpinTypingLimit);
    RowsSpinEdit->setValue(1);
    // A typed number counts once it is whole (Enter or leaving the box): its first digit alone
    // would cut the table. The arrows still step it at once.
    RowsSpinEdit->setKeyboardTracking(false);
    auto* rowsLabel = new QLabel(QStringLiteral("Number of Rows"));
    rowsLabel->setBuddy(RowsSpinEdit);

    auto* rowButtons = new QHBoxLayout;
    rowButtons->addWidget(rowsLabel);
    rowButtons->addWidget(RowsSpinEdit);
    rowButtons->addWidget(button(InsertRowButton, "InsertRowButton", "Insert Row"));
    rowButtons->addWidget(button(RemoveRowButton, "RemoveRowButton", "Remove Row"));
    rowButtons->addWidget(button(RemoveAllButton, "RemoveAllButton", "Remove All"));
    rowButtons->addStretch(1);
    auto* fileButtons = new QHBoxLayout;
    fileButtons->addWidget(button(OpenButton, "OpenButton", "Open"));
    fileButtons->addWidget(button(SaveButton, "SaveButton", "Save"));
    fileButtons->addWidget(button(HelpButton, "HelpButton", "Help"));
    fileButtons->addStretch(1);
    fileButtons->addWidget(button(ModifyButton, "ModifyButton", "Modify Files"));
    fileButtons->addWidget(button(ExitButton, "ExitButton", "Exit"));
    auto* column = new QVBoxLayout(this);
    column->addWidget(StringGrid1, 1);
    column->addLayout(rowButtons);
    column->addLayout(fileButtons);

    connect(RowsSpinEdit, &QSpinBox::valueChanged, this, &TBatchDlg::NumberOfRowsChange);
    connect(InsertRowButton, &QPushButton::clicked, this, &TBatchDlg::InsertRowClick);
    connect(RemoveRowButton, &QPushButton::clicked, this, &TBatchDlg::RemoveRowClick);
    connect(RemoveAllButton, &QPushButton::clicked, this, &TBatchDlg::RemoveAllClick);
    connect(OpenButton, &QPushButton::clicked, this, &TBatchDlg::OpenClick);
    connect(SaveButton, &QPushButton::clicked, this, &TBatchDlg::SaveClick);
    connect(HelpButton, &QPushButton::clicked, this, &TBatchDlg::HelpClick);
    connect(ModifyButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ExitButton, &QPushButton::clicked, this, &QDialog::reject);

    setMinimumSize(m.s(project::kBatchDialogWidth), m.s(project::kBatchDialogHeight));
    resize(minimumSize());
    readBatchTemp();
}

TBatchDlg::~TBatchDlg() = default;

std::string TBatchDlg::batchTempPath() const {
    return services_.dataFolder.empty() ? std::string() : platform::joinPath(services_.dataFolder, project::kBatchTempFile);
}

void TBatchDlg::readBatchTemp() {
    const std::string path = batchTempPath();
    if (path.empty()) return;
    const auto bytes = platform::readWholeFile(path);
    if (!bytes) return;
    project::readBatchTemp(*bytes, table_);
    tableChanged();
}

void TBatchDlg::writeBatchTemp() {
    const std::string path = batchTempPath();
    if (!path.empty()) durable::writeFileAtomically(path, project::batchTempBytes(table_));
}

void TBatchDlg::reencode(platform::CodePageId from, platform::CodePageId to) {
    if (from == to) return;
    const TypedText before(from), after(to);
    bool changed = false;
    for (project::BatchPair& row : table_.rows)
        for (std::string* cell : {&row.search, &row.replace}) {
            std::optional<std::string> bytes = after.bytes(before.field(*cell));
            if (bytes && *bytes != *cell) {
                *cell = std::move(*bytes);
                changed = true;
            }
        }
    if (!changed) return;
    model_->reload();
    writeBatchTemp();
}

void TBatchDlg::setTable(const project::BatchTable& table) {
    table_ = table;
    tableChanged();
    writeBatchTemp();
}

void TBatchDlg::tableChanged() {
    filling_ = true;
    model_->reload();
    RowsSpinEdit->setValue(std::clamp(table_.numberOfRows, 1, project::kMaxBatchRows));
    // Neither column may be wider than the screen, or the other one could never be reached.
    const int widest = screenAreaAt(geometry().center()).width();
    table_.searchColumnWidth = std::min(table_.searchColumnWidth, widest);
    table_.replaceColumnWidth = std::min(table_.replaceColumnWidth, widest);
    StringGrid1->horizontalHeader()->resizeSection(0, table_.searchColumnWidth);
    StringGrid1->horizontalHeader()->resizeSection(1, table_.replaceColumnWidth);
    if (table_.dialogWidth > 0 && table_.dialogHeight > 0) {
        // A stored size larger than the screen would put the buttons out of reach; the table
        // keeps the size the dialog really has, so it is stored back so.
        const QWidget* over = parentWidget() ? parentWidget()->window() : this;
        const QRect room = windowRoomAt(over->geometry().center(), services_.metrics);
        const QRect fitted = fitToScreen(room.topLeft(), QSize(table_.dialogWidth, table_.dialogHeight), room,
                                         minimumSize());
        table_.dialogWidth = fitted.width();
        table_.dialogHeight = fitted.height();
        resize(fitted.size());
    }
    filling_ = false;
    keepColumnMinimums();
}

void TBatchDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    readBatchTemp();
    StringGrid1->setFocus();
    if (!StringGrid1->currentIndex().isValid()) StringGrid1->setCurrentIndex(model_->index(0, 0));
}

void TBatchDlg::done(int result) {
    table_.searchColumnWidth = StringGrid1->horizontalHeader()->sectionSize(0);
    table_.replaceColumnWidth = StringGrid1->horizontalHeader()->sectionSize(1);
    writeBatchTemp();
    QDialog::done(result);
}

void TBatchDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (!filling_ && windowState() == Qt::WindowNoState && isVisible()) {
        table_.dialogWidth = width();
        table_.dialogHeight = height();
    }
}

void TBatchDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        HelpClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TBatchDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == StringGrid1 && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // An open cell editor has the keys itself; this is Enter on the grid.
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // Enter in the grid appends an empty row.
            RowsSpinEdit->setValue(static_cast<int>(table_.rows.size()) + 1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

int TBatchDlg::currentRow() const {
    const QModelIndex index = StringGrid1->currentIndex();
    return index.isValid() ? index.row() : 0;
}

void TBatchDlg::NumberOfRowsChange(int value) {
    if (filling_) return;
    if (value > project::kMaxBatchRows) {
        RowsSpinEdit->setValue(project::kMaxBatchRows);
        return;
    }
    table_.setNumberOfRows(value);
    const QModelIndex current = StringGrid1->currentIndex();
    model_->reload();
    if (current.isValid() && current.row() < model_->rowCount()) restoreCurrentCell(current);
}

void TBatchDlg::restoreCurrentCell(const QModelIndex& index) {
    // The grid opens an editor on its current cell, which takes the focus; while the user is
    // elsewhere (typing a number of rows) the cell only becomes current again.
    const bool inGrid = StringGrid1->hasFocus() || StringGrid1->isAncestorOf(QApplication::focusWidget());
    const QAbstractItemView::EditTriggers triggers = StringGrid1->editTriggers();
    if (!inGrid) StringGrid1->setEditTriggers(triggers & ~QAbstractItemView::CurrentChanged);
    StringGrid1->setCurrentIndex(index);
    StringGrid1->setEditTriggers(triggers);
}

void TBatchDlg::InsertRowClick() {
    const QModelIndex current = StringGrid1->currentIndex();
    table_.insertRow(static_cast<std::size_t>(currentRow()));
    tableChanged();
    if (current.isValid()) StringGrid1->setCurrentIndex(current);
    StringGrid1->setFocus();
}

void TBatchDlg::RemoveRowClick() {
    const QModelIndex current = StringGrid1->currentIndex();
    table_.removeRow(static_cast<std::size_t>(currentRow()));
    tableChanged();
    if (current.isValid()) StringGrid1->setCurrentIndex(model_->index(std::min(current.row(), model_->rowCount() - 1), current.column()));
    StringGrid1->setFocus();
}

void TBatchDlg::RemoveAllClick() {
    table_.removeAll();
    tableChanged();
}

void TBatchDlg::OpenClick() {
    const std::string path = services_.files.openFile("Open", kBatchFilter, kBatchExtension, openFolder_);
    if (path.empty()) return;
    openFolder_ = saveFolder_ = platform::parentPath(path);
    const auto bytes = platform::readWholeFile(path);
    if (!bytes) {
        if (exists(path)) services_.messages.messageBox("Batch Replace", "Incorrect file", engine::MessageIcon::Error);
        return;
    }
    const project::BatchFileRead read = project::readBatchFile(*bytes, table_);
    tableChanged();
    if (read != project::BatchFileRead::Read)
        services_.messages.messageBox("Batch Replace", "Incorrect file", engine::MessageIcon::Error);
}

void TBatchDlg::SaveClick() {
    const std::string path = services_.files.saveFile("Save", kBatchFilter, kBatchExtension, saveFolder_);
    if (path.empty()) return;
    saveFolder_ = platform::parentPath(path);
    // A read-only file is overwritten; a failure to write leaves it as it was, silently.
    platform::PosixAttributeChanger().makeWritable(path);
    durable::writeFileAtomically(path, project::batchFileBytes(table_));
}

void TBatchDlg::HelpClick() {
    if (services_.help) services_.help(QString::fromLatin1(kHelpTopic));
}

void TBatchDlg::keepColumnMinimums() {
    if (filling_) return;
    const Metrics& m = services_.metrics;
    QHeaderView* header = StringGrid1->horizontalHeader();
    filling_ = true;
    if (header->sectionSize(0) < m.s(project::kMinSearchColumnWidth)) header->resizeSection(0, m.s(project::kMinSearchColumnWidth));
    if (header->sectionSize(1) < m.s(project::kMinReplaceColumnWidth)) header->resizeSection(1, m.s(project::kMinReplaceColumnWidth));
    filling_ = false;
}

}  // namespace vsr::ui
