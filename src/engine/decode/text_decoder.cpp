#include "engine/decode/text_decoder.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/decode/damaged_units.h"
#include "engine/decode/page_bytes.h"
#include "platform/text_encoding.h"
#include "text/utf8.h"

namespace vsr::engine {
namespace {

namespace utf8 = text::utf8;
using Form = FileEncoding::Form;

constexpr char32_t kReplacement = 0xFFFD;

std::size_t unitWidth(Form form) {
    switch (form) {
        case Form::Utf16Le:
        case Form::Utf16Be: return 2;
        case Form::Utf32Le:
        case Form::Utf32Be: return 4;
        default: return 1;
    }
}

// The length of the run of bytes below 0x80 at the start of p[0, n).
std::size_t asciiRun(const unsigned char* p, std::size_t n) {
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        const int high = _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)));
        if (high) return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(high)));
    }
#endif
    while (i < n && p[i] < 0x80) ++i;
    return i;
}

// Takes the ASCII characters of UTF-16 or UTF-32 text at `p` from `i` on, 32 bytes at a time,
// into `out`, as long as every unit of a block is below 0x80; returns where it stopped. Text in
// these forms is mostly ASCII, and one unit at a time would cost many times the search.
std::size_t takeAsciiBlocks(Form form, const unsigned char* p, std::size_t n, std::size_t i, std::string& out) {
#if defined(__SSE2__)
    const bool wide = form == Form::Utf32Le || form == Form::Utf32Be;
    const bool bigEndian = form == Form::Utf16Be || form == Form::Utf32Be;
    const __m128i zero = _mm_setzero_si128();
    const __m128i mask16 = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i mask32 = _mm_set1_epi32(bigEndian ? static_cast<int>(0x80FFFFFFu) : static_cast<int>(0xFFFFFF80u));
    alignas(16) char block[16];
    while (n - i >= 32) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 16));
        if (!wide) {
            if (bigEndian) {
                a = _mm_or_si128(_mm_slli_epi16(a, 8), _mm_srli_epi16(a, 8));
                b = _mm_or_si128(_mm_slli_epi16(b, 8), _mm_srli_epi16(b, 8));
            }
            const __m128i high = _mm_and_si128(_mm_or_si128(a, b), mask16);
            if (_mm_movemask_epi8(_mm_cmpeq_epi8(high, zero)) != 0xFFFF) break;
            _mm_store_si128(reinterpret_cast<__m128i*>(block), _mm_packus_epi16(a, b));
            out.append(block, 16);
        } else {
            const __m128i high = _mm_and_si128(_mm_or_si128(a, b), mask32);
            if (_mm_movemask_epi8(_mm_cmpeq_epi8(high, zero)) != 0xFFFF) break;
            if (bigEndian) {
                a = _mm_srli_epi32(a, 24);
                b = _mm_srli_epi32(b, 24);
            }
            const __m128i units = _mm_packs_epi32(a, b);
            _mm_store_si128(reinterpret_cast<__m128i*>(block), _mm_packus_epi16(units, units));
            out.append(block, 8);
        }
        i += 32;
    }
#else
    (void)form;
    (void)p;
    (void)n;
    (void)out;
#endif
    return i;
}

}  // namespace

TextDecoder::TextDecoder(FileEncoding from, platform::CodePageId to, bool keepDamaged)
    : from_(from),
      to_(to),
      width_(unitWidth(from.form)),
      keep_damaged_(keepDamaged && to == platform::CodePageId::Utf8 && width_ > 1) {}

char32_t TextDecoder::unit(const unsigned char* p) const {
    switch (from_.form) {
        case Form::Utf16Le: return char32_t(p[0]) | char32_t(p[1]) << 8;
        case Form::Utf16Be: return char32_t(p[1]) | char32_t(p[0]) << 8;
        case Form::Utf32Le: return char32_t(p[0]) | char32_t(p[1]) << 8 | char32_t(p[2]) << 16 | char32_t(p[3]) << 24;
        case Form::Utf32Be: return char32_t(p[3]) | char32_t(p[2]) << 8 | char32_t(p[1]) << 16 | char32_t(p[0]) << 24;
        default: return p[0];
    }
}

void TextDecoder::illFormed(std::string& out, const unsigned char* raw, std::size_t n) {
    if (keep_damaged_) {
        damaged_ = true;
        damaged::append(out, raw, n);
        return;
    }
    ill_formed_ = true;
    if (to_ == platform::CodePageId::Utf8) utf8::append(out, kReplacement);
    else out += kMissingByte;
}

void TextDecoder::put(char32_t c, std::string& out) {
    if (to_ == platform::CodePageId::Utf8) {
        utf8::append(out, c);
        return;
    }
    if (std::optional<unsigned char> b = pageByte(to_, c)) {
        out += static_cast<char>(*b);
        return;
    }
    if (!lacking_) lacking_ = c;
    out += kMissingByte;
}

void TextDecoder::decode(std::string_view bytes, std::string& out, bool last) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size();
    out.reserve(out.size() + (width_ == 1 ? n + n / 2 : n * 3 / width_ / 2 + 4));
    if (from_.form == Form::Page || from_.form == Form::Utf8Mark) {
        if (from_.form == Form::Page) {
            // Each run of ASCII goes over whole: a call per byte cost ten times the search.
            for (std::size_t i = 0; i < n;) {
                const std::size_t run = asciiRun(p + i, n - i);
                out.append(reinterpret_cast<const char*>(p + i), run);
                i += run;
                if (i < n) put(platform::pageCharacter(from_.page, p[i++]), out);
            }
            return;
        }
        // UTF-8 behind its mark, into a single-byte page (a UTF-8 setting takes it as it is).
        std::string joined;
        if (carried_) {
            joined.assign(reinterpret_cast<const char*>(carry_), carried_);
            joined.append(bytes);
            p = reinterpret_cast<const unsigned char*>(joined.data());
            n = joined.size();
            carried_ = 0;
        }
        for (std::size_t i = 0; i < n;) {
            char32_t c;
            const std::size_t len = utf8::decode(p + i, n - i, c);
            if (utf8::isInvalid(c)) {
                // A sequence the piece cut short is completed by the next piece.
                if (!last && n - i < 4 && p[i] >= 0xC2 && p[i] <= 0xF4) {
                    bool prefix = true;
                    for (std::size_t k = i + 1; k < n; ++k) prefix = prefix && utf8::isContinuation(p[k]);
                    if (prefix) {
                        for (std::size_t k = i; k < n; ++k) carry_[carried_++] = p[k];
                        return;
                    }
                }
                illFormed(out, p + i, len);
            } else {
                put(c, out);
            }
            i += len;
        }
        return;
    }
    std::size_t i = 0;
    unsigned char unitBytes[4];
    auto takeUnit = [&](const unsigned char*& u) {
        if (carried_) {
            while (carried_ < width_ && i < n) carry_[carried_++] = p[i++];
            if (carried_ < width_) return false;
            std::copy(carry_, carry_ + width_, unitBytes);
            carried_ = 0;
            u = unitBytes;
            return true;
        }
        if (n - i < width_) {
            while (i < n) carry_[carried_++] = p[i++];
            return false;
        }
        u = p + i;
        i += width_;
        return true;
    };
    const unsigned char* u = nullptr;
    // Between runs of ASCII blocks, units go one at a time for a block's worth.
    std::size_t single = 0;
    for (;;) {
        if (single == 0 && !carried_ && !high_) i = takeAsciiBlocks(from_.form, p, n, i, out);
        if (!takeUnit(u)) break;
        single = (single + 1) % 16;
        const char32_t v = unit(u);
        if (width_ == 4) {
            if (v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) illFormed(out, u, 4);
            else put(v, out);
            continue;
        }
        if (high_) {
            if (v >= 0xDC00 && v <= 0xDFFF) {
                put(0x10000 + ((high_ - 0xD800) << 10) + (v - 0xDC00), out);
                high_ = 0;
                continue;
            }
            high_ = 0;
            illFormed(out, high_bytes_, 2);
        }
        if (v >= 0xD800 && v <= 0xDBFF) {
            high_ = v;
            std::copy(u, u + 2, high_bytes_);
        } else if (v >= 0xDC00 && v <= 0xDFFF) {
            illFormed(out, u, 2);
        } else {
            put(v, out);
        }
    }
    if (last) {
        if (high_) illFormed(out, high_bytes_, 2);
        if (carried_) illFormed(out, carry_, carried_);
        high_ = 0;
        carried_ = 0;
    }
}

std::string decodeFileBytes(FileEncoding from, platform::CodePageId to, std::string_view bytes, bool* exact,
                            bool keepDamaged) {
    TextDecoder decoder(from, to, keepDamaged);
    std::string out;
    decoder.decode(bytes, out, true);
    if (exact) *exact = decoder.exact();
    return out;
}

}  // namespace vsr::engine
