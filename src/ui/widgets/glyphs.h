#pragma once
#include <QIcon>

namespace vsr::ui {

// Small pictures of the flat buttons, drawn by us so they look the same under every theme.
enum class Glyph { Execute, Edit, Stop, Undo };
QIcon glyphIcon(Glyph glyph, int size);

}  // namespace vsr::ui
