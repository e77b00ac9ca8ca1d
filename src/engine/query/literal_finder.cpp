#include "engine/query/literal_finder.h"

#include <algorithm>

#include "platform/code_page.h"

namespace vsr::engine {

namespace {
constexpr std::size_t npos = std::string_view::npos;
// The set is scanned this far ahead at a time: hits of a dense literal stay few per stretch.
constexpr std::size_t kFinderStretch = 16 << 10;
}  // namespace

std::unique_ptr<LiteralFinder> LiteralFinder::make(const std::vector<regexpr::RequiredLiteral>& literals) {
    if (literals.empty() || literals.size() > TermSetScanner::kMaxTerms) return nullptr;
    // Bytes, compared through a single-byte page: a case-insensitive literal is looked for as its
    // upper case there, which holds every byte the engine takes for a literal byte as long as
    // both cases the engine allows have the same upper case on that page.
    const platform::CodePage& page = platform::CodePage::defaultPage();
    std::vector<TermScanner> scanners;
    scanners.reserve(literals.size());
    bool lineEnd = false;
    for (const regexpr::RequiredLiteral& lit : literals) {
        if (lit.bytes.empty()) return nullptr;
        std::string term = lit.bytes;
        if (lit.ignoreCase) {
            if (lit.otherCase.size() != lit.bytes.size()) return nullptr;
            for (std::size_t k = 0; k < term.size(); ++k) {
                const unsigned char a = static_cast<unsigned char>(lit.bytes[k]);
                const unsigned char b = static_cast<unsigned char>(lit.otherCase[k]);
                if (page.upper(a) != page.upper(b)) return nullptr;
                term[k] = static_cast<char>(page.upper(a));
            }
        }
        lineEnd = lineEnd || term.find_first_of("\r\n") != std::string::npos ||
                  (lit.ignoreCase && lit.otherCase.find_first_of("\r\n") != std::string::npos);
        scanners.emplace_back(term, false, page, lit.ignoreCase);
    }
    std::unique_ptr<LiteralFinder> finder(new LiteralFinder(std::move(scanners)));
    finder->holdsLineEnd_ = lineEnd;
    return finder;
}

LiteralFinder::LiteralFinder(std::vector<TermScanner> scanners) : scanners_(std::move(scanners)) {
    bool probed = true;
    for (const TermScanner& s : scanners_) probed = probed && s.probes();
    if (scanners_.size() >= 2 && probed && TermSetScanner::available()) {
        std::vector<std::size_t> all(scanners_.size());
        for (std::size_t k = 0; k < all.size(); ++k) all[k] = k;
        set_ = std::make_unique<TermSetScanner>(scanners_, std::move(all));
    }
}

void LiteralFinder::start(std::string_view text) {
    text_ = text;
    nextAt_.assign(scanners_.size(), npos);  // none known in [0, 0)
    checked_.assign(scanners_.size(), 0);
    hits_.clear();
    hitIndex_ = 0;
    scannedTo_ = 0;
    setNext_.assign(scanners_.size(), 0);
}

std::size_t LiteralFinder::find(std::size_t from, std::size_t to) {
    to = std::min(to, text_.size());
    if (from >= to) return npos;
    if (set_) {
        for (;;) {
            while (hitIndex_ < hits_.size() && hits_[hitIndex_].start < from) ++hitIndex_;
            if (hitIndex_ < hits_.size()) return hits_[hitIndex_].start < to ? hits_[hitIndex_].start : npos;
            if (scannedTo_ >= to) return npos;
            // An occurrence that overlaps an earlier one of the same literal is passed by: it
            // lies in the same line as that one, unless the literal holds a line end, and then
            // neither lies inside a line.
            const std::size_t a = std::max(from, scannedTo_);
            const std::size_t b = std::min(text_.size(), a + kFinderStretch);
            hits_.clear();
            hitIndex_ = 0;
            set_->scan(text_, a, b, setNext_, hits_);
            std::sort(hits_.begin(), hits_.end(),
                      [](const TermHit& x, const TermHit& y) { return x.start < y.start; });
            scannedTo_ = b;
        }
    }
    std::size_t best = npos;
    for (std::size_t k = 0; k < scanners_.size(); ++k) {
        // A position found before still holds while it lies ahead; a search that found nothing
        // up to checked_[k] need not look there again.
        if (nextAt_[k] == npos ? checked_[k] < to : nextAt_[k] < from) {
            const std::size_t begin = std::max(from, nextAt_[k] == npos ? checked_[k] : from);
            nextAt_[k] = scanners_[k].next(text_, begin, to);
            checked_[k] = to;
        }
        if (nextAt_[k] != npos && nextAt_[k] < best) best = nextAt_[k];
    }
    return best < to ? best : npos;
}

}  // namespace vsr::engine
