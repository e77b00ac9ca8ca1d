#include "ui/expression_selection.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>
#include <string>
#include <vector>

namespace vsr::ui {

void selectExpressionCharacter(QPlainTextEdit* memo, int position) {
    if (!memo || position < 1) return;
    const std::string expression = memo->toPlainText().toStdString();
    // The field position (in UTF-16 units, as the cursor counts) of every byte the compiler saw;
    // a line break stands for two bytes there, CR and LF.
    std::vector<int> fieldIndex;
    fieldIndex.reserve(expression.size() + 16);
    int unit = 0;
    for (std::size_t i = 0; i < expression.size();) {
        const unsigned char lead = static_cast<unsigned char>(expression[i]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        length = std::min(length, expression.size() - i);
        if (lead == '\n') fieldIndex.push_back(unit);
        for (std::size_t k = 0; k < length; ++k) fieldIndex.push_back(unit);
        unit += length == 4 ? 2 : 1;  // characters beyond the basic plane take two units
        i += length;
    }
    if (fieldIndex.empty()) return;
    const int at = fieldIndex[std::min<std::size_t>(static_cast<std::size_t>(position - 1), fieldIndex.size() - 1)];
    const int size = static_cast<int>(memo->document()->characterCount()) - 1;
    memo->setFocus();
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(std::clamp(at, 0, std::max(0, size)));
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    memo->setTextCursor(cursor);
}

}  // namespace vsr::ui
