#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/attribute_changer.h"
#include "platform/code_page.h"
#include "results/result_list.h"

namespace vsr::results {

struct SavedListOptions {
    // A command-line run begins the file with "Command Line: " + this text and an empty line.
    std::optional<std::string> commandLine;
    // Words of the query that built the list: Found counts of a single word are right-aligned
    // like numbers, lists of several counts are left-aligned like text. 0: read it from the
    // rows, whose Found texts list one count per word.
    int queryWords = 0;
    // The text encoding the file is written in. The list's texts are UTF-8, as the window shows
    // them, and are written in it; names of files and folders stay as the file system has them.
    platform::CodePageId textEncoding = platform::CodePageId::Utf8;
};

// Length of a text of the list in characters, as a fixed-width font shows it: a UTF-8
// character counts once, and so does every byte that is no part of one.
std::size_t displayLength(std::string_view text);

// The list as a plain-text table with CR LF line ends: a header of column captions, then one
// line per row, each column padded to its widest text + 2.
std::string savedListText(const ResultList& list, const SavedListOptions& options);

// Writes the table to `path`, giving an existing read-only file back its write permission
// first. The file is replaced whole or not at all. False when it could not be written.
bool writeSavedList(const std::string& path, std::string_view text, platform::AttributeChanger& attributes);

}  // namespace vsr::results
