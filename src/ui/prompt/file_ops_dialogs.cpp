#include "ui/prompt/file_ops_dialogs.h"

#include <QFontMetrics>
#include <QWidget>

#include "fileops/text_width.h"
#include "ui/dialogs/confirm_dialogs.h"
#include "ui/prompt/window_prompter.h"

namespace vsr::ui {

FileOpsDialogs::FileOpsDialogs(QWidget* window, WindowPrompter& dialogs, engine::Prompter& messages,
                               const Metrics& metrics)
    : window_(window),
      dialogs_(dialogs),
      messages_(messages),
      metrics_(metrics),
      copy_(std::make_unique<TCopyDlg>(window)),
      delete_(std::make_unique<TDelFilesDlg>(window)),
      readOnly_(std::make_unique<TDelReadOnlyDlg>(window)) {}

FileOpsDialogs::~FileOpsDialogs() = default;

fileops::Answer FileOpsDialogs::ask(const fileops::Question& question) {
    ConfirmDialog* dialog = copy_.get();
    if (question.dialog == fileops::Dialog::DeleteFiles) dialog = delete_.get();
    else if (question.dialog == fileops::Dialog::ReadOnly) dialog = readOnly_.get();
    // Widths are measured in the main window's font, as the limits are meant.
    const QFontMetrics fm(window_->font());
    const fileops::TextWidth width = [&fm](std::string_view text) {
        return fm.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
    };
    std::vector<QString> lines;
    for (const fileops::DialogLine& line : question.lines)
        lines.push_back(QString::fromStdString(
            fileops::shortenToWidth(line.text, metrics_.s(line.limit), static_cast<std::size_t>(line.keep), width)));
    dialog->setFont(window_->font());
    dialog->present(question, lines);
    return answerOfResult(dialogs_.runModal(*dialog));
}

void FileOpsDialogs::message(const std::string& caption, const std::string& text) {
    messages_.messageBox(caption, text, engine::MessageIcon::Exclamation);
}

}  // namespace vsr::ui
