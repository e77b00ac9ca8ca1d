#include "engine/decode/file_text.h"

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

FileText readFileText(std::string_view bytes, const TextReading& reading, std::string& scratch) {
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
    const std::string_view body = bytes.substr(byteOrderMark(result.fileEncoding.form).size());
    if (result.fileEncoding.form == FileEncoding::Form::Utf8Mark && reading.textEncoding == platform::CodePageId::Utf8) {
        result.text = body;
        return result;
    }
    TextDecoder decoder(result.fileEncoding, reading.textEncoding, reading.keepDamaged);
    scratch.clear();
    decoder.decode(body, scratch, true);
    result.text = scratch;
    result.exact = decoder.exact();
    result.lacking = decoder.lacking();
    result.damaged = decoder.damaged();
    return result;
}

FileText decodeInBuffer(platform::FileBuffer& buffer, const TextReading& reading, std::string& scratch) {
    FileText text = readFileText(buffer.view(), reading, scratch);
    if (text.kind == TextKind::Bytes) return text;
    const std::size_t size = text.text.size();
    if (text.text.data() == scratch.data()) {
        buffer.assign(text.text);
    } else {
        // A view of the buffer's own bytes, after a UTF-8 mark: it moves to the start.
        std::memmove(buffer.data(), text.text.data(), size);
        buffer.setSize(size);
    }
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
