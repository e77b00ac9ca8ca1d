#pragma once
#include <QDialog>
#include <functional>
#include <string>

#include "platform/code_page.h"
#include "project/batch_table.h"
#include "ui/common/metrics.h"

class QModelIndex;
class QPushButton;
class QSpinBox;
class QTableView;

namespace vsr::engine {
class Prompter;
}

namespace vsr::ui {

class BatchTableModel;
class WindowPrompter;

// "Batch Replace": the table of search and replacement pairs, its batch files, and the
// "Batch.tmp" copy in the data folder that brings the last table back at the next start.
class TBatchDlg : public QDialog {
    Q_OBJECT
public:
    struct Services {
        WindowPrompter& files;
        engine::Prompter& messages;
        std::function<void(const QString& topic)> help;
        std::string dataFolder;  // empty: the table is not kept between runs
        Metrics metrics;
        // The text encoding the cells are kept in; empty: UTF-8.
        std::function<platform::CodePageId()> textEncoding;
    };
    TBatchDlg(Services services, QWidget* parent);
    ~TBatchDlg() override;

    project::BatchTable& table() { return table_; }
    // Replaces the table (a project was loaded) and writes "Batch.tmp".
    void setTable(const project::BatchTable& table);
    // "Batch.tmp" from the table; failures are ignored.
    void writeBatchTemp();
    // The text encoding changed: every cell the new one can hold is kept in it; a cell it
    // cannot hold keeps its bytes, so nothing is turned into "?".
    void reencode(platform::CodePageId from, platform::CodePageId to);
    std::string batchTempPath() const;

    void InsertRowClick();
    void RemoveRowClick();
    void RemoveAllClick();
    void OpenClick();
    void SaveClick();
    void HelpClick();

    QTableView* StringGrid1 = nullptr;
    QSpinBox* RowsSpinEdit = nullptr;
    QPushButton* InsertRowButton = nullptr;
    QPushButton* RemoveRowButton = nullptr;
    QPushButton* RemoveAllButton = nullptr;
    QPushButton* OpenButton = nullptr;
    QPushButton* SaveButton = nullptr;
    QPushButton* HelpButton = nullptr;
    QPushButton* ModifyButton = nullptr;
    QPushButton* ExitButton = nullptr;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void readBatchTemp();
    void tableChanged();
    void NumberOfRowsChange(int value);
    int currentRow() const;
    void restoreCurrentCell(const QModelIndex& index);
    void keepColumnMinimums();

    Services services_;
    project::BatchTable table_;
    BatchTableModel* model_ = nullptr;
    bool filling_ = false;
    std::string openFolder_;
    std::string saveFolder_;
};

}  // namespace vsr::ui
