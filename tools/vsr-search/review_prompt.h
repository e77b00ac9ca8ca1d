#pragma once
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "engine/modify/edit_review.h"

namespace vsr::tools {

// One edit shown for review: a small unified diff of the old and new lines, named as the dry
// run names files (a/NAME, b/NAME), each changed line followed by a "?" line with "^" under the
// bytes that change (as a terminal shows it: no colour is needed to see the change).
std::string reviewHunk(std::string_view name, const engine::ReviewEdit& edit, std::size_t number, std::size_t count);

// The answers of a review: keep, skip, keep the rest of the file, skip the rest of the file,
// stop (writing what was decided).
enum class ReviewAnswer { Keep, Skip, KeepRest, SkipRest, Quit };

// Asks on `prompt` and reads an answer line from `in` until one is known (y, n, a, d, q, in
// either case, blanks around ignored); the end of the input answers q.
ReviewAnswer askReview(std::FILE* in, std::FILE* prompt);

}  // namespace vsr::tools
