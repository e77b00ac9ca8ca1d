#include "settings/memo_file.h"

#include <sys/stat.h>

#include "durable/safe_writer.h"

namespace vsr::settings {

namespace {

// Calls line(text) for every line; a final empty piece after the last break is no line.
template <class Fn>
void forEachLine(std::string_view text, Fn line) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            line(text.substr(start));
            return;
        }
        line(text.substr(start, end - start));
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
}

}  // namespace

std::string memoFileBytes(std::string_view memoText) {
    std::string text(memoText);
    text += "\r\n";
    std::string bytes;
    bytes.reserve(text.size() + 16);
    forEachLine(text, [&](std::string_view line) {
        bytes += line;
        bytes += "\r\n";
    });
    return bytes;
}

std::string memoTextFromFile(std::string_view bytes) {
    std::string text;
    bool first = true;
    forEachLine(bytes, [&](std::string_view line) {
        if (!first) text += '\n';
        text += line;
        first = false;
    });
    return text;
}

bool saveMemoFile(const std::string& path, std::string_view memoText) {
    struct stat st {};
    const bool exists = ::lstat(path.c_str(), &st) == 0;
    if (memoText.empty() && !exists) return true;
    // A file that already holds the text is left alone: its bytes, time and inode stay.
    if (exists) {
        const std::optional<std::string> old = platform::readWholeFile(path);
        if (old && memoTextFromFile(*old) == memoText) return true;
    }
    return durable::writeFileAtomically(path, memoFileBytes(memoText));
}

bool loadMemoFile(const std::string& path, std::string& memoText) {
    auto bytes = platform::readWholeFile(path);
    if (!bytes) return false;
    memoText = memoTextFromFile(*bytes);
    return true;
}

}  // namespace vsr::settings
