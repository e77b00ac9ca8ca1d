#pragma once

class QComboBox;
class QString;

namespace vsr::ui {

class TFind;

// Names a combo box and the parts a screen reader reaches inside it (its edit field and its
// list of choices). On Linux the box itself is announced by its label and its current text.
void nameComboBox(QComboBox* combo, const QString& name);

// Gives every control of the main window a name a screen reader can say: labels point at the
// fields they name, picture buttons and unlabelled fields get names of their own, and Tab
// enters each radio group on its checked button.
void nameWindowControls(TFind& window);

}  // namespace vsr::ui
