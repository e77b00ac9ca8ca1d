#include "ui/review/replacement_choices.h"

namespace vsr::ui::review {

void ReplacementChoices::clear() {
    files_.clear();
    totals_ = {};
    offFiles_ = 0;
}

void ReplacementChoices::remove(const File& f) {
    totals_.total -= f.count;
    totals_.kept -= f.kept();
    if (f.kept() > 0) --totals_.files;
    if (f.allOff || f.offCount > 0) --offFiles_;
}

void ReplacementChoices::add(const File& f) {
    totals_.total += f.count;
    totals_.kept += f.kept();
    if (f.kept() > 0) ++totals_.files;
    if (f.allOff || f.offCount > 0) ++offFiles_;
}

void ReplacementChoices::settle(File& f) {
    // Every edit turned off one by one is the same as the whole file off; none off needs no
    // table at all.
    if (f.allOff || (f.count > 0 && f.offCount == f.count)) {
        f.allOff = true;
        f.off.clear();
        f.offCount = 0;
    } else if (f.offCount == 0) {
        f.off.clear();
    }
}

void ReplacementChoices::setCount(const std::string& file, std::size_t count, bool exact) {
    File& f = files_[file];
    if (f.exact && !exact) return;  // an estimate never replaces what the listing said
    remove(f);
    if (f.count != count) {
        f.off.clear();
        f.offCount = 0;
    }
    f.count = count;
    f.exact = exact;
    settle(f);
    add(f);
}

std::vector<std::string> ReplacementChoices::files() const {
    std::vector<std::string> out;
    out.reserve(files_.size());
    for (const auto& [name, f] : files_) out.push_back(name);
    return out;
}

bool ReplacementChoices::known(const std::string& file) const { return files_.count(file) > 0; }

bool ReplacementChoices::exact(const std::string& file) const {
    const auto it = files_.find(file);
    return it != files_.end() && it->second.exact;
}

std::size_t ReplacementChoices::count(const std::string& file) const {
    const auto it = files_.find(file);
    return it == files_.end() ? 0 : it->second.count;
}

void ReplacementChoices::forget(const std::string& file) {
    const auto it = files_.find(file);
    if (it == files_.end()) return;
    remove(it->second);
    files_.erase(it);
}

bool ReplacementChoices::isOn(const std::string& file, std::size_t edit) const {
    const auto it = files_.find(file);
    if (it == files_.end() || edit >= it->second.count) return true;
    const File& f = it->second;
    if (f.allOff) return false;
    return f.off.empty() || !f.off[edit];
}

void ReplacementChoices::setOn(const std::string& file, std::size_t edit, bool on) {
    const auto it = files_.find(file);
    if (it == files_.end() || edit >= it->second.count || isOn(file, edit) == on) return;
    File& f = it->second;
    remove(f);
    if (f.allOff) {
        // One kept out of a file that was wholly off: all the others stay off.
        f.allOff = false;
        f.off.assign(f.count, true);
        f.offCount = f.count;
    }
    if (f.off.empty()) f.off.assign(f.count, false);
    f.off[edit] = !on;
    if (on) --f.offCount;
    else ++f.offCount;
    settle(f);
    add(f);
}

FileChoice ReplacementChoices::state(const std::string& file) const {
    const auto it = files_.find(file);
    if (it == files_.end()) return FileChoice::On;
    const File& f = it->second;
    if (f.allOff) return FileChoice::Off;
    return f.offCount == 0 ? FileChoice::On : FileChoice::Partly;
}

void ReplacementChoices::setFile(const std::string& file, bool on) {
    File& f = files_[file];
    remove(f);
    f.off.clear();
    f.offCount = 0;
    f.allOff = !on;
    add(f);
}

std::vector<std::size_t> ReplacementChoices::offEdits(const std::string& file) const {
    std::vector<std::size_t> out;
    const auto it = files_.find(file);
    if (it == files_.end()) return out;
    const File& f = it->second;
    for (std::size_t i = 0; i < f.count; ++i)
        if (f.allOff || (!f.off.empty() && f.off[i])) out.push_back(i);
    return out;
}

std::string totalsText(const ReplacementChoices::Totals& t) {
    return std::to_string(t.kept) + " of " + std::to_string(t.total) +
           (t.total == 1 ? " replacement in " : " replacements in ") + std::to_string(t.files) +
           (t.files == 1 ? " file will be written" : " files will be written");
}

}  // namespace vsr::ui::review
