#pragma once

class QButtonGroup;

namespace vsr::ui {

// Tab enters a group of radio buttons on its checked button (the first usable one when none
// is checked or the checked one is disabled) and the next Tab leaves the group; the arrow keys
// move within it. Without this every button of the group is a stop of its own.
void tabToCheckedButton(QButtonGroup* group);

}  // namespace vsr::ui
