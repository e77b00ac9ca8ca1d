#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/query/compiled_query.h"

namespace vsr::engine::index {

// What text a file must hold to match, as trigrams of its folded text: every trigram of
// `grams`, and every part (All) or some part (OneOf). A need that says nothing is Anything:
// it holds for every file, so none is passed over.
struct GramNeed {
    enum class Kind { Anything, All, OneOf };
    Kind kind = Kind::Anything;
    std::vector<std::uint32_t> grams;  // All only: ascending
    std::vector<GramNeed> parts;

    bool anything() const { return kind == Kind::Anything; }
    static GramNeed allOf(std::vector<GramNeed> parts);
    static GramNeed oneOf(std::vector<GramNeed> parts);
};

// The trigrams of a text folded for the index; Anything when it has none.
GramNeed needOfFolded(std::string_view folded);

// What a file that `query` lists must hold, folded as the index folds texts in the query's
// encoding. Anything whenever the query lists files without their text (an empty query, all
// terms Excluded), is refused, or is matched in a way the trigrams can't speak for.
GramNeed queryNeed(const CompiledQuery& query);

}  // namespace vsr::engine::index
