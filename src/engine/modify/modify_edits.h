#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "engine/modify/modify_content.h"
#include "engine/modify/modify_context.h"

namespace vsr::engine {

// The modification engines: each turns the run's compiled query's matches of the file into
// edits of the model, by the modification type.

// Phrase: every occurrence of the phrase (taken left to right without overlap; inserted text is
// never searched again), restricted to the row's interval when phrase intervals are on.
EngineOutcome PhraseModify(ModifyContext& context, FileModel& model,
                           const results::ModificationInterval& interval);

// The edits of PhraseModify without phrase intervals, for a text whose line ends the separator
// writes back as they are and which has no NUL byte: each occurrence (found in the whole text at
// once, as the line-by-line scan finds it) with the text that takes its place, appended to
// `inserted`. `changes` tells whether some edit puts in other bytes than it takes out. Modify,
// the preview and the dry run all take a phrase's edits from here. `found`, when given, is where
// a count with the same query found the phrase in `text` (a search that read the file): the text
// is then not scanned again, unless one of them is not an occurrence there. With `nulOrCr` the
// text is not known to be free of NUL bytes and CRs: the bytes are looked at while the line
// feeds before the occurrences are counted, and at the first of either the work ends (Failed,
// `*nulOrCr` true, the edits of no use).
EngineOutcome PhraseEdits(ModifyContext& context, std::string_view text, std::vector<TextEdit>& edits,
                          std::string& inserted, bool& changes, const std::vector<Occurrence>* found = nullptr,
                          bool* nulOrCr = nullptr);

// `text` with `edits` (in order, their new texts one after another in `inserted`) spliced in.
void spliceEdits(std::string_view text, const std::vector<TextEdit>& edits, std::string_view inserted,
                 std::string& out);

// Reg Expr: every non-empty match, line by line or over the whole text by the query's rule,
// with replaceLines put in through the engine's template expansion. An expression error is
// reported and ends the run; the file is then left unchanged.
EngineOutcome RegExprModify(ModifyContext& context, FileModel& model,
                            const results::ModificationInterval& interval);

// Multiline: the k matched lines of each block are replaced, cleared, removed, or get the lines
// of replaceLines before or after them.
EngineOutcome MultilineModify(ModifyContext& context, FileModel& model);

}  // namespace vsr::engine
