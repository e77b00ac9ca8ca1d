#pragma once
#include "platform/code_page.h"

class QPlainTextEdit;

namespace vsr::ui {

// Focuses `memo` and selects the one character at `position` (1-based) of its text as the
// regular-expression compiler counts it: bytes in the text encoding, with every line break
// written as CR LF.
void selectExpressionCharacter(QPlainTextEdit* memo, int position, platform::CodePageId encoding);

}  // namespace vsr::ui
