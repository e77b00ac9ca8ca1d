#include "engine/decode/decoding_sink.h"

#include <algorithm>
#include <cstring>

namespace vsr::engine {

void DecodingSink::begin(platform::PieceSink& inner, const TextReading& reading, std::optional<FileEncoding> known) {
    inner_ = &inner;
    reading_ = reading;
    encoding_ = {};
    decoder_.reset();
    check_ = Utf8Check();
    checking_ = reading.checksUtf8();
    redo_ = false;
    refused_ = false;
    ended_ = false;
    mode_ = Mode::Sniff;
    if (known) startDecoding(*known);
}

void DecodingSink::startDecoding(FileEncoding encoding) {
    encoding_ = encoding;
    checking_ = false;
    // UTF-8 behind its mark is already text of a UTF-8 setting: only the mark is left out.
    if (encoding.form == FileEncoding::Form::Utf8Mark && reading_.textEncoding == platform::CodePageId::Utf8) {
        mode_ = Mode::Through;
        return;
    }
    mode_ = Mode::Decode;
    decoder_.emplace(encoding, reading_.textEncoding);
    if (!raw_) raw_ = std::make_unique<char[]>(kRawBytes);
}

std::span<char> DecodingSink::room() {
    if (mode_ == Mode::Decode) return {raw_.get(), kRawBytes};
    lastRoom_ = inner_->room();
    return lastRoom_;
}

bool DecodingSink::arrived(std::size_t n) {
    if (mode_ == Mode::Decode) return feed({raw_.get(), n}, false);
    std::string_view piece(lastRoom_.data(), n);
    if (mode_ == Mode::Sniff) {
        mode_ = Mode::Through;
        if (std::optional<FileEncoding> marked = markedEncoding(piece)) {
            startDecoding(*marked);
            const std::size_t mark = byteOrderMark(marked->form).size();
            if (mode_ == Mode::Decode) {
                // The piece lies in the inner sink's room, which the text is about to fill: it
                // is taken out first (the room may be larger than this sink's own).
                first_.assign(piece.substr(mark));
                return feed(first_, false);
            }
            // UTF-8 behind its mark: the rest of the piece moves to the start of the room.
            std::memmove(lastRoom_.data(), piece.data() + mark, n - mark);
            return n == mark || (refused_ = !inner_->arrived(n - mark), !refused_);
        }
    }
    if (checking_ && !check_.take(piece)) {
        redo_ = true;
        return false;
    }
    if (!inner_->arrived(n)) {
        refused_ = true;
        return false;
    }
    return true;
}

bool DecodingSink::feed(std::string_view raw, bool last) {
    text_.clear();
    decoder_->decode(raw, text_, last);
    return push(text_);
}

bool DecodingSink::push(std::string_view text) {
    while (!text.empty() && !refused_) {
        const std::span<char> r = inner_->room();
        const std::size_t k = std::min(r.size(), text.size());
        std::memcpy(r.data(), text.data(), k);
        text.remove_prefix(k);
        if (!inner_->arrived(k)) refused_ = true;
    }
    return !refused_;
}

bool DecodingSink::end() {
    if (ended_) return !refused_ && !redo_;
    ended_ = true;
    if (redo_) return false;
    if (checking_ && !check_.finish()) {
        redo_ = true;
        return false;
    }
    if (mode_ == Mode::Decode && !refused_) return feed({}, true);
    return !refused_;
}

void DecodingSink::release() {
    raw_.reset();
    std::string().swap(text_);
    std::string().swap(first_);
}

}  // namespace vsr::engine
