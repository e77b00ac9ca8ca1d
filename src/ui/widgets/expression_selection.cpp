#include "ui/widgets/expression_selection.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/text_encoding.h"
#include "ui/common/typed_text.h"

namespace vsr::ui {

void selectExpressionCharacter(QPlainTextEdit* memo, int position, platform::CodePageId encoding) {
    if (!memo || position < 1) return;
    // The expression ran, so its characters were all held by the encoding.
    const std::string expression = TypedText(encoding).kept(memo->toPlainText());
    std::vector<int> unitAt;
    platform::decodeText(encoding, expression, platform::InvalidBytes::Escape, &unitAt);
    // The field position (in UTF-16 units, as the cursor counts) of every byte the compiler saw;
    // a line break stands for two bytes there, CR and LF.
    std::vector<int> fieldIndex;
    fieldIndex.reserve(expression.size() + 16);
    for (std::size_t i = 0; i < expression.size(); ++i) {
        if (expression[i] == '\n') fieldIndex.push_back(unitAt[i]);
        fieldIndex.push_back(unitAt[i]);
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
