#pragma once

class QPlainTextEdit;

namespace vsr::ui {

// Focuses `memo` and selects the one character at `position` (1-based) of its text as the
// regular-expression compiler counts it: bytes of UTF-8 with every line break written as CR LF.
void selectExpressionCharacter(QPlainTextEdit* memo, int position);

}  // namespace vsr::ui
