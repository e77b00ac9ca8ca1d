// Fuzz target: the first byte picks the text encoding, whether the fallback page is on and
// the size of the pieces; the rest is a file. Its text read whole must equal the text decoded
// piece by piece; a text that is modifiable must write back to the very bytes it came from, and
// on a UTF-8 setting every file with a mark is modifiable when read for writing back, damaged
// units and all; and decoding never reads past its input (the sanitizers watch that).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/decode/file_text.h"
#include "engine/decode/text_decoder.h"
#include "engine/decode/text_encoder.h"
#include "engine/decode/utf8_check.h"
#include "platform/text_encoding.h"

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vsr::engine;
    using vsr::platform::CodePageId;
    if (size == 0) return 0;
    const CodePageId chosen = vsr::platform::kTextEncodings[data[0] % std::size(vsr::platform::kTextEncodings)];
    const bool fallback = (data[0] >> 3) & 1;
    const std::size_t piece = 1 + (data[0] >> 4);
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const TextReading reading{chosen, fallback ? std::optional(CodePageId::Windows1251) : std::nullopt};

    std::string scratch;
    const FileText text = readFileText(bytes, reading, scratch);
    if (text.kind == TextKind::Bytes) {
        check(text.text == bytes);
        return 0;
    }
    // The same text in pieces of `piece` bytes.
    const std::string_view body = bytes.substr(byteOrderMark(text.fileEncoding.form).size());
    if (!(text.fileEncoding.form == FileEncoding::Form::Utf8Mark && chosen == CodePageId::Utf8)) {
        TextDecoder decoder(text.fileEncoding, chosen);
        std::string pieces;
        for (std::size_t at = 0; at < body.size(); at += piece) decoder.decode(body.substr(at, piece), pieces, false);
        decoder.decode({}, pieces, true);
        check(pieces == text.text);
        check(decoder.exact() == text.exact);
    }
    // The UTF-8 check in the same pieces agrees with the whole.
    Utf8Check utf8;
    for (std::size_t at = 0; at < bytes.size(); at += piece) utf8.take(bytes.substr(at, piece));
    check(utf8.finish() == isUtf8Text(bytes));
    if (text.modifiable()) {
        const EncodedFile back = encodeFileText(text.fileEncoding, chosen, text.text);
        check(!back.refused && back.bytes == bytes);
    }
    TextReading writing = reading;
    writing.keepDamaged = true;
    std::string kept;
    const FileText whole = readFileText(bytes, writing, kept);
    check(whole.fileEncoding == text.fileEncoding);
    if (chosen == CodePageId::Utf8) check(whole.modifiable());
    if (whole.modifiable()) {
        const EncodedFile back = encodeFileText(whole.fileEncoding, chosen, whole.text);
        check(!back.refused && back.bytes == bytes);
    }
    return 0;
}
