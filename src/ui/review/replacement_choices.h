#pragma once
// Which replacements of the listed files the user keeps: every file starts with all of its
// replacements on; the user turns single ones or whole files off and on again. The window
// draws this model (a check box per match, a tri-state check per row) and hands the turned-off
// replacements to Modify. Plain C++, so it is tested without widgets.
#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace vsr::ui::review {

// A row's check: every replacement kept, none, or some.
enum class FileChoice { On, Off, Partly };

class ReplacementChoices {
public:
    // What the status bar counts: `kept` of `total` replacements in `files` files.
    struct Totals {
        std::size_t kept = 0;
        std::size_t total = 0;
        std::size_t files = 0;
        bool operator==(const Totals&) const = default;
    };

    // Forgets every choice and count: a new search, or other edits (another query, replacement
    // text or modification type).
    void clear();
    bool empty() const { return files_.empty(); }
    // The files counted, in name order.
    std::vector<std::string> files() const;

    // How many replacements `file` has. An estimate (the search's count of its matches) stands
    // until the file's edits are listed; the exact count then replaces it. A file whose exact
    // count changes (it was edited meanwhile) starts again with all its replacements on,
    // unless it was wholly off, which it stays.
    void setCount(const std::string& file, std::size_t count, bool exact);
    bool known(const std::string& file) const;
    bool exact(const std::string& file) const;
    std::size_t count(const std::string& file) const;
    // The file leaves the list (Delete Items): it no longer counts.
    void forget(const std::string& file);

    // Replacement `edit` (0-based, in text order) of `file`; an edit the file doesn't have is on
    // and can't be turned off.
    bool isOn(const std::string& file, std::size_t edit) const;
    void setOn(const std::string& file, std::size_t edit, bool on);
    void toggle(const std::string& file, std::size_t edit) { setOn(file, edit, !isOn(file, edit)); }

    FileChoice state(const std::string& file) const;
    void setFile(const std::string& file, bool on);
    // On becomes off; off and partly become on, so one key press keeps a file again whatever
    // was turned off in it.
    void toggleFile(const std::string& file) { setFile(file, state(file) != FileChoice::On); }

    // The edits of `file` that are off, ascending (empty: every one is kept). A file wholly off
    // reports every edit of its count.
    std::vector<std::size_t> offEdits(const std::string& file) const;
    // No replacement of `file` is kept: Modify leaves it alone.
    bool wholeOff(const std::string& file) const { return state(file) == FileChoice::Off; }
    // Something anywhere is off: Modify needs to hear of the choice.
    bool anyOff() const { return offFiles_ > 0; }

    // Kept over total replacements and the files with at least one kept, over the files
    // counted; kept up to date with every change, so the status text costs nothing.
    Totals totals() const { return totals_; }

private:
    struct File {
        std::size_t count = 0;
        bool exact = false;
        // Wholly off, whatever the count turns out to be.
        bool allOff = false;
        std::vector<bool> off;  // by edit, while some but not all are off
        std::size_t offCount = 0;
        std::size_t kept() const { return allOff ? 0 : count - offCount; }
    };
    void remove(const File& f);
    void add(const File& f);
    void settle(File& f);

    std::map<std::string, File> files_;
    Totals totals_;
    std::size_t offFiles_ = 0;  // files with some replacement off
};

// The status bar's sentence: "3 of 7 replacements in 2 files will be written".
std::string totalsText(const ReplacementChoices::Totals& totals);

}  // namespace vsr::ui::review
