#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/backup/write_marks.h"
#include "engine/modify/modify_context.h"
#include "durable/file_store.h"

namespace vsr::engine {

// One occurrence a modification replaced in place: `length` bytes at `offset` of the original
// (on the 0-based line `line`, `column` bytes into it) became `newLength` bytes, which start in
// the new bytes at `offset` plus the growth of the edits before it.
struct TextEdit {
    std::size_t offset = 0;
    std::size_t length = 0;
    std::size_t newLength = 0;
    std::size_t line = 0;
    std::size_t column = 0;
};

// One file's bytes after the modification, computed in memory: what Modify hands to the writer.
struct ModifiedContent {
    // Done: `bytes` holds the content to write. Stopped: the stop flag ended the engine (the
    // file is not written). Failed: the file can't be modified (it is not written either).
    EngineOutcome outcome = EngineOutcome::Failed;
    // The bytes as read; empty when the caller kept them and the bytes were left unmade (see
    // bytesMade).
    std::string original;
    std::string bytes;  // the bytes Modify writes; only meaningful when outcome is Done
    // True when `bytes` is `original` with `edits` spliced in, in order, and nothing else
    // changed: every line end stays as it was and the file has no NUL byte.
    bool spliced = false;
    std::vector<TextEdit> edits;
    // With `spliced`: the new text of each edit, one after another.
    std::string inserted;
    // With `spliced`: some edit puts in other bytes than it takes out.
    bool editsChange = false;
    // False when the edits alone say what Modify writes and neither `bytes` nor `original` was
    // made (modifyEdits); the bytes are then the caller's with `edits` spliced in.
    bool bytesMade = true;
    // A file in an encoding of its own (a byte order mark, the fallback page): `original` and
    // `bytes` are its bytes, in that encoding with its mark; the engine ran on its text, which
    // these hold before and after, in the chosen encoding (a damaged unit shown as U+FFFD).
    // The edits are of the text.
    bool decoded = false;
    std::string textBefore;
    std::string textAfter;
    // Failed: why the file can't be modified; empty when its marked lines reach past its end.
    std::string failure;
    // The edits the engine found and made, under the file's choice (ModifyContext::chooseEdits).
    EditTally tally;
    // The choice turned every edit off: the file is not written, whatever the bytes would be.
    bool leftAlone = false;

    // The text the engine ran on, and what it made of it (for the preview and a diff).
    std::string_view before() const { return decoded ? std::string_view(textBefore) : std::string_view(original); }
    std::string_view after() const { return decoded ? std::string_view(textAfter) : std::string_view(bytes); }

    // Modify writes nothing for a file whose bytes would not change.
    bool changed() const {
        return outcome == EngineOutcome::Done && !leftAlone && (spliced ? editsChange : bytes != original);
    }
};

// Why a file whose choice was made on other bytes is not modified.
inline constexpr const char* kChangedSinceReview = "it changed since its replacements were chosen";

// Runs the engine of the search type over `original` and joins the lines with the separator
// and the last-byte rule, the NUL tail kept: the single path from a file's bytes to the bytes
// written, shared by Modify, the preview and the dry run. A file in an encoding of its own is
// decoded first and its new text written back in that encoding, with its mark, each line with
// its own line end and each damaged unit as it was; a file whose text would not come back as it
// was (a character the chosen encoding lacks, a malformed unit on a single-byte setting), or
// whose new text its encoding can't hold, fails with `failure` saying why. The edits the
// context's choice turns off are not made; a choice made on other bytes fails the file.
ModifiedContent modifyContent(ModifyContext& context, std::string original,
                              const results::ModificationInterval& interval, LineSeparator separator);
// The same with the bytes as read in `content.original` and the rest of `content` made anew,
// its buffers reused: a thread that modifies many files allocates for the largest only.
void modifyContent(ModifyContext& context, ModifiedContent& content, const results::ModificationInterval& interval,
                   LineSeparator separator);

// The same for a caller that only needs to know what would be written (a dry run's diff) and
// keeps `original` meanwhile: where the edits alone say the new bytes (spliceDiffable), neither
// the bytes nor a copy of `original` is made and `content.bytesMade` is false; otherwise
// `original` is copied into `content.original` and the rest is made as above. The edits come
// from the same engine either way; `found` is where a search with the same query counted the
// phrase in `original` (see PhraseEdits).
void modifyEdits(ModifyContext& context, std::string_view original, ModifiedContent& content,
                 const results::ModificationInterval& interval, LineSeparator separator,
                 const std::vector<Occurrence>* found = nullptr);

// Whether the new bytes of a spliced modification of `before` are told, line by line, by its
// edits: no edit puts in a line feed or NUL byte, and no last line without a line feed is
// emptied (which would take the line away rather than change it).
bool spliceDiffable(std::string_view before, const ModifiedContent& content);

// The file as Modify reads it: nothing when its marks refuse the write (read-only, hidden or
// system not cleared under the options) or when it can't be read.
std::optional<std::string> readModifiable(durable::FileStore& files, platform::AttributeChanger& attributes,
                                          const std::string& path, bool createBackups,
                                          const ModifyOptions& options, WriteMarks& prep,
                                          platform::FileStamp* stamp = nullptr);

}  // namespace vsr::engine
