#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "engine/query/compiled_query.h"
#include "platform/file_system.h"

namespace vsr::engine {

// Counts a Phrase, Words or Search Engine query over a text handed over piece by piece, as the
// terms matcher counts it over the whole text: the same occurrences, each counted once, and
// the text ending at its first NUL byte. Each piece is matched while it is still in the
// processor's cache. Only occurrences that start early enough in the bytes held are taken, so
// an occurrence and the character and word tests at both its ends always see every byte they
// look at; the bytes after that point, and a few before it, are kept for the next piece.
// Reused from text to text; not to be shared between threads.
class TermStream final : public platform::PieceSink {
public:
    static constexpr std::size_t kPieceBytes = 64u << 10;

    // Whether `query` is counted this way with pieces of `pieceBytes`: a Terms query whose
    // occurrences are short against a piece.
    static bool suits(const CompiledQuery& query, std::size_t pieceBytes = kPieceBytes);

    explicit TermStream(const CompiledQuery& query, std::size_t pieceBytes = kPieceBytes);

    // Starts a text. `counts` gets one slot per term, all 0, and is added to as the text comes
    // in; it must live until end(). With `untilExcluded` counting ends at the first Excluded
    // term found: the file won't be listed anyway.
    void begin(std::vector<std::int64_t>& counts, bool untilExcluded);
    // The same for a reader that wants the whole text afterwards: it is gathered in `keep`
    // (whose size says, after end(), how much of it came), and still counted piece by piece as
    // it comes. `found`, when given and the query notesOccurrences(), gets where the term was
    // found, as a matcher's count notes it.
    void begin(std::vector<std::int64_t>& counts, bool untilExcluded, platform::FileBuffer& keep,
               std::vector<Occurrence>* found);
    // Where the next bytes of the text go.
    std::span<char> room() override;
    // `n` bytes were put at room(). False when the counts are settled: the text ended at a NUL
    // byte, or an Excluded term was found.
    bool arrived(std::size_t n) override;
    void expect(std::uint64_t size) override;
    // The text ended: counts what is left.
    void end();
    // After end(): the text kept is all of the file, not left unread after an Excluded term.
    // (A kept text goes on past a NUL byte, as a whole read does; it is counted up to it.)
    bool keptWhole() const { return keep_ && !cut_; }
    // Frees the buffer; the next text allocates it again.
    void release();

private:
    // Counts the occurrences that start in [from, limit) of the bytes held.
    void scan(std::size_t from, std::size_t limit);
    // Counts what may be counted now; `last`: no more bytes come.
    void advance(bool last);
    void count(std::size_t term);
    char* data() { return keep_ ? keep_->data() : buf_.get(); }
    // arrived() for a kept text.
    bool kept(std::size_t n);

    const CompiledQuery& q_;
    const std::size_t piece_;
    std::size_t ahead_ = 0;   // bytes an occurrence and the test after it may reach from its start
    std::size_t behind_ = 8;  // bytes the tests before an occurrence may look back
    std::unique_ptr<char[]> buf_;
    std::size_t capacity_ = 0;
    std::size_t held_ = 0;     // bytes in buf_
    std::uint64_t base_ = 0;   // offset in the text of buf_[0]
    std::uint64_t done_ = 0;   // every occurrence starting before this offset is counted
    bool settled_ = false;
    bool untilExcluded_ = false;
    platform::FileBuffer* keep_ = nullptr;  // the whole text goes here, when it is kept
    std::vector<Occurrence>* found_ = nullptr;
    bool cut_ = false;      // an Excluded term ended the text before its end
    std::size_t kept_ = 0;  // bytes in keep_ (held_ stops at a NUL byte)
    std::vector<std::int64_t>* counts_ = nullptr;
    // The end of each term's last occurrence (offsets in the text): occurrences of a term never
    // overlap. One list per set of terms, then the terms counted on their own.
    std::vector<std::vector<std::uint64_t>> setNext_;
    std::vector<std::uint64_t> loneNext_;
    std::vector<std::size_t> next_;
    std::vector<TermHit> hits_;
};

}  // namespace vsr::engine
