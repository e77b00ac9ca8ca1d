#include "engine/decode/file_text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/decode/text_decoder.h"
#include "engine/decode/utf8_check.h"
#include "platform/text_encoding.h"
#include "text/utf8.h"

namespace vsr::engine {

FileEncoding encodingByMark(std::string_view head) {
    const std::optional<FileEncoding> marked = markedEncoding(head);
    return marked ? *marked : FileEncoding{};
}

namespace {

// What a file's text is, short of decoding it: `result.kind` Encoded with `body` the bytes
// after the mark when the text is to be decoded, else the text itself.
FileText sortFileText(std::string_view bytes, const TextReading& reading, std::string_view& body) {
    FileText result;
    result.fileEncoding = encodingByMark(bytes);
    if (result.fileEncoding.chosen()) {
        if (!reading.checksUtf8() || isUtf8Text(bytes)) {
            result.text = bytes;
            return result;
        }
        result.fileEncoding = FileEncoding::ofPage(*reading.fallback);
    }
    result.kind = TextKind::Encoded;
    body = bytes.substr(byteOrderMark(result.fileEncoding.form).size());
    if (result.fileEncoding.form == FileEncoding::Form::Utf8Mark && reading.textEncoding == platform::CodePageId::Utf8)
        result.text = body;
    return result;
}

// Whether `text` still waits for its decoding (sortFileText left it empty of a view).
bool awaitsDecoding(const FileText& text) { return text.kind == TextKind::Encoded && text.text.data() == nullptr; }

void takeVerdict(FileText& text, const TextDecoder& decoder) {
    text.exact = decoder.exact();
    text.lacking = decoder.lacking();
    text.damaged = decoder.damaged();
}

// Pieces decoded at a time into the buffer itself: small enough to stay in the cache between
// their decoding and their copy.
constexpr std::size_t kInPlacePieceBytes = 64u << 10;

}  // namespace

FileText readFileText(std::string_view bytes, const TextReading& reading, std::string& scratch) {
    std::string_view body;
    FileText result = sortFileText(bytes, reading, body);
    if (!awaitsDecoding(result)) return result;
    TextDecoder decoder(result.fileEncoding, reading.textEncoding, reading.keepDamaged);
    scratch.clear();
    decoder.decode(body, scratch, true);
    result.text = scratch;
    takeVerdict(result, decoder);
    return result;
}

FileText decodeInBuffer(platform::FileBuffer& buffer, const TextReading& reading, std::string& scratch) {
    std::string_view body;
    FileText text = sortFileText(buffer.view(), reading, body);
    if (text.kind == TextKind::Bytes) return text;
    if (!awaitsDecoding(text)) {
        // A view of the buffer's own bytes, after a UTF-8 mark: it moves to the start.
        const std::size_t size = text.text.size();
        std::memmove(buffer.data(), text.text.data(), size);
        buffer.setSize(size);
        text.text = buffer.view();
        return text;
    }
    // Decoded piece by piece into the buffer's own front, behind the bytes still to be read:
    // UTF-16 and UTF-32 text, mostly ASCII, shrinks, and a text that is never held twice costs
    // no fresh memory and no second pass over it. Where a piece's text would overtake its
    // bytes (CJK in UTF-16, a page's letters into UTF-8), the rest is decoded aside and added.
    TextDecoder decoder(text.fileEncoding, reading.textEncoding, reading.keepDamaged);
    const std::size_t n = buffer.size();
    std::size_t read = n - body.size(), written = 0;
    bool placed = true;
    while (read < n) {
        const std::size_t take = std::min(kInPlacePieceBytes, n - read);
        scratch.clear();
        decoder.decode(std::string_view(buffer.data() + read, take), scratch, read + take == n);
        read += take;
        if (written + scratch.size() > read) {
            placed = false;
            break;
        }
        std::memcpy(buffer.data() + written, scratch.data(), scratch.size());
        written += scratch.size();
    }
    if (!placed) {
        if (read < n) decoder.decode(std::string_view(buffer.data() + read, n - read), scratch, true);
        buffer.setSize(written);  // keeps the text placed so far across the growth
        buffer.reserve(written + scratch.size());
        std::memcpy(buffer.data() + written, scratch.data(), scratch.size());
        written += scratch.size();
    }
    buffer.setSize(written);
    takeVerdict(text, decoder);
    text.text = buffer.view();
    return text;
}

std::string unmodifiableReason(const FileText& text, platform::CodePageId textEncoding) {
    if (text.kind == TextKind::ArchiveMember) return "it is a member of an archive, which is only searched";
    if (text.kind == TextKind::Document) return "it is a document whose text is only searched";
    const std::string name = fileEncodingName(text.fileEncoding);
    if (text.lacking) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(*text.lacking));
        std::string shown = "\"";
        text::utf8::append(shown, *text.lacking);
        return "it is in " + name + " and holds the character " + shown + "\" (" + code +
               ") that the text encoding " + platform::textEncodingCaption(textEncoding) + " cannot hold";
    }
    return "it is not well-formed " + name + " text, so it could not be written back as it was";
}

}  // namespace vsr::engine
