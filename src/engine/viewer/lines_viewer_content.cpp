#include "engine/viewer/lines_viewer_content.h"

#include <algorithm>

#include "engine/viewer/lines_viewer_context.h"
#include "platform/file_system.h"

namespace vsr::engine {

std::string headerText(std::string_view name, std::string_view dir) {
    std::string text = "     File:  ";
    text += name;
    text += "      Path:  ";
    text += dir;
    return text;
}

std::string foundLinePrefix(std::int64_t lineNumber) { return " line " + std::to_string(lineNumber) + ": "; }

std::string multilineText(std::int64_t lineNumber, std::size_t lines) {
    if (lines <= 1) return " line " + std::to_string(lineNumber) + " ";
    return " line " + std::to_string(lineNumber) + " - line " +
           std::to_string(lineNumber + static_cast<std::int64_t>(lines) - 1);
}

std::int64_t entryLineNumber(std::string_view text) {
    if (text.size() <= 6) return 0;
    std::int64_t n = 0;
    for (std::size_t i = 6; i < text.size() && text[i] != ':' && text[i] != ' '; ++i) {
        if (text[i] < '0' || text[i] > '9') return 0;
        n = n * 10 + (text[i] - '0');
        if (n > INT32_MAX) return 0;  // no file has that many lines; not a line entry
    }
    return n;
}

FillScratch& LinesViewerContent::scratch() {
    if (!scratch_) scratch_ = std::make_shared<FillScratch>();
    return *scratch_;
}

bool LinesViewerContent::isLineEntry(long long index) const {
    if (index <= 0 || index >= static_cast<long long>(entries_.size())) return false;
    FoundLineKind k = entries_[static_cast<std::size_t>(index)].kind;
    return k == FoundLineKind::Line || k == FoundLineKind::Multiline;
}

std::int64_t LinesViewerContent::lineNumberAt(long long index) const {
    return isLineEntry(index) ? entries_[static_cast<std::size_t>(index)].lineNumber : 0;
}

void LinesViewerContent::endFill() {
    filling_ = false;
    if (clearPending_) {
        clearPending_ = false;
        clear();
    }
}

void LinesViewerContent::clear() {
    if (filling_) {
        clearPending_ = true;
        return;
    }
    clearEntries();
    browsedRow = -1;
    browsedDir.clear();
    browsedName.clear();
    browsedFullName.clear();
}

void LinesViewerContent::clearEntries() {
    entries_.clear();
    ++generation_;
    ++revision_;
}

void LinesViewerContent::start(long long row, const std::string& dir, const std::string& name) {
    clearEntries();
    browsedRow = row;
    browsedDir = dir;
    browsedName = name;
    browsedFullName = platform::joinPath(dir, name);
    FoundLine header;
    header.kind = FoundLineKind::Header;
    header.displayText = headerText(name, dir);
    header.fullText = header.displayText;
    if (header.displayText.size() > kMaxDisplayText) header.displayText.resize(kMaxDisplayText);
    entries_.push_back(std::move(header));
}

FoundLine* LinesViewerContent::addLine(std::int64_t lineNumber, std::string_view text, bool keepFullText) {
    if (full()) return nullptr;
    ++revision_;
    if (entries_.size() == kOverflowIndex) {
        FoundLine overflow;
        overflow.kind = FoundLineKind::Overflow;
        overflow.displayText = kOverflowText;
        entries_.push_back(std::move(overflow));
        return nullptr;
    }
    FoundLine line;
    line.lineNumber = lineNumber;
    std::string prefix = foundLinePrefix(lineNumber);
    std::size_t room = kMaxDisplayText - prefix.size();
    line.displayText.reserve(prefix.size() + std::min(room, text.size()));
    line.displayText = prefix;
    line.displayText.append(text.substr(0, room));
    if (keepFullText) {
        line.fullText.reserve(prefix.size() + text.size());
        line.fullText = prefix;
        line.fullText.append(text);
    }
    entries_.push_back(std::move(line));
    return &entries_.back();
}

bool LinesViewerContent::addBlock(std::int64_t lineNumber, std::size_t lines) {
    if (full()) return false;
    ++revision_;
    FoundLine entry;
    if (entries_.size() == kOverflowIndex) {
        entry.kind = FoundLineKind::Overflow;
        entry.displayText = kOverflowText;
        entries_.push_back(std::move(entry));
        return false;
    }
    entry.kind = FoundLineKind::Multiline;
    entry.lineNumber = lineNumber;
    entry.displayText = multilineText(lineNumber, lines);
    entries_.push_back(std::move(entry));
    return true;
}

}  // namespace vsr::engine
