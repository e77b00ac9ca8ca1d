#pragma once
#include <string>
#include <string_view>

namespace vsr::settings {

// The text files of the data folder hold a memo's text followed by one CR LF, every
// line break written as CR LF. Memo texts use "\n" between lines.

// The file contents for a memo text: its lines (broken at CR LF, LF or CR), each
// followed by CR LF, and one CR LF more, so a trailing line break survives.
std::string memoFileBytes(std::string_view memoText);

// The memo text of a file's contents: its lines joined by "\n" (the last CR LF dropped).
std::string memoTextFromFile(std::string_view bytes);

// Writes the memo when it has a line or when the file already exists, so an emptied
// memo empties its file but an empty memo creates none; a file that already reads as the
// memo is not written again. False when a write failed; the file is then as it was.
bool saveMemoFile(const std::string& path, std::string_view memoText);

// Reads the file into the memo when it exists; when it is missing or unreadable the
// memo keeps what it had and the result is false.
bool loadMemoFile(const std::string& path, std::string& memoText);

}  // namespace vsr::settings
