#pragma once
#include <string>
#include <vector>

namespace vsr::fileops {

// What the user answered in a confirmation dialog.
enum class Answer { Ok, Skip, YesToAll, Cancel };

// The confirmation dialogs of the file commands.
enum class Dialog {
    Copy,       // two lines and up to four buttons (also the rename errors)
    DeleteFiles,  // up to three lines, OK and Cancel
    ReadOnly,   // two lines and up to four buttons
};

// The buttons a dialog offers.
enum class Buttons {
    OkCancel,    // one file: "OK" beside "Cancel"
    All,         // several files: "Yes", "Skip", "Yes to All", "Cancel"
    SkipCancel,  // an error among several files: "Skip" and "Cancel"
};

// One line of a dialog. A line wider than `limit` pixels (at 96 dots per inch) keeps its first
// `keep` characters, then "..." and the longest tail that fits; a limit of 0 never shortens.
struct DialogLine {
    std::string text;
    int limit = 0;
    int keep = 0;
    bool operator==(const DialogLine&) const = default;
};

struct Question {
    Dialog dialog = Dialog::Copy;
    std::string caption;
    std::vector<DialogLine> lines;
    Buttons buttons = Buttons::All;
};

// Message boxes and confirmations of the file commands; the window shows them as dialogs,
// tests and scripted runs answer them without a screen.
class FileOpsPrompter {
public:
    virtual ~FileOpsPrompter() = default;
    virtual Answer ask(const Question& question) = 0;
    // A message box with an exclamation icon and an OK button.
    virtual void message(const std::string& caption, const std::string& text) = 0;
};

// The buttons for a loop over `selected` files.
inline Buttons buttonsFor(std::size_t selected) { return selected == 1 ? Buttons::OkCancel : Buttons::All; }

}  // namespace vsr::fileops
