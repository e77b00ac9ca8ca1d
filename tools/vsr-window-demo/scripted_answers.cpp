#include "scripted_answers.h"

#include "ui/dialogs/confirm_dialogs.h"
#include "ui/dialogs/rename_dialog.h"

namespace vsr::tools {

void ScriptedAnswers::messageBox(const std::string& caption, const std::string& text, engine::MessageIcon) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

std::string ScriptedAnswers::selectFolder(const std::string& title, const std::string&) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), folder.c_str());
    return folder;
}

int ScriptedAnswers::runModal(QDialog& dialog) {
    if (auto* rename = qobject_cast<ui::TRenameDlg*>(&dialog)) {
        rename->setCommands(this->rename);
        rename->OKBtnClick();
        return QDialog::Accepted;
    }
    auto* confirm = qobject_cast<ui::ConfirmDialog*>(&dialog);
    if (!confirm) return QDialog::Rejected;
    // The lines whole, as they were asked, not as shortened for the screen.
    std::string text;
    for (const fileops::DialogLine& line : confirm->question().lines) {
        if (!text.empty()) text += ' ';
        text += line.text;
    }
    std::fprintf(stderr, "%s: %s\n", dialog.windowTitle().toStdString().c_str(), text.c_str());
    return answer;
}

int answerCode(const std::string& word) {
    if (word == "yes") return QDialog::Accepted;
    if (word == "no" || word == "cancel") return QDialog::Rejected;
    if (word == "yes-to-all") return ui::kYesToAllResult;
    if (word == "skip") return ui::kSkipResult;
    return -1;
}

}  // namespace vsr::tools
