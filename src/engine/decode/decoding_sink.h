#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "engine/decode/file_text.h"
#include "engine/decode/text_decoder.h"
#include "engine/decode/utf8_check.h"
#include "platform/file_system.h"

namespace vsr::engine {

// Stands between a file read piece by piece and the sink that takes its text (a term count,
// runs of lines), and hands that sink the text in the chosen encoding. A file of the chosen
// encoding goes straight through: its pieces are read into the inner sink's own room, looked
// at for a mark once and, with the fallback on, checked as UTF-8 while still in the cache; no
// byte is copied. A file with a mark is read into a room of this sink's own and decoded into
// the inner sink's room. A file found not to be UTF-8 partway ends the read, and redo() says
// so: the caller begins the inner sink afresh and reads the file again in the fallback page.
class DecodingSink final : public platform::PieceSink {
public:
    static constexpr std::size_t kRawBytes = 64u << 10;

    // Starts a file for `inner`; `known`: its encoding is known already (a read again after
    // redo()), nothing is looked for.
    void begin(platform::PieceSink& inner, const TextReading& reading, std::optional<FileEncoding> known = {});
    std::span<char> room() override;
    bool arrived(std::size_t n) override;
    void expect(std::uint64_t size) override { inner_->expect(size); }
    // The read came to its end: what a cut character left goes on to the inner sink. False when
    // the inner sink wants no more or the file turned out not to be UTF-8 (see redo). Only the
    // first call after a read does anything, so a sink may end the text itself before its
    // caller does.
    bool end();

    // The file is not UTF-8 after all: read it again with fallbackEncoding().
    bool redo() const { return redo_; }
    FileEncoding fallbackEncoding() const { return FileEncoding::ofPage(reading_.fallback.value_or(platform::CodePageId::Windows1252)); }
    // The encoding the file was read in, once its first piece came.
    FileEncoding fileEncoding() const { return encoding_; }
    // Frees the room of decoded files.
    void release();

private:
    enum class Mode { Sniff, Through, Decode };
    // Decodes `raw` into the inner sink; false when it wants no more.
    bool feed(std::string_view raw, bool last);
    // Hands `text` on, in as many rooms as it takes.
    bool push(std::string_view text);
    void startDecoding(FileEncoding encoding);

    platform::PieceSink* inner_ = nullptr;
    TextReading reading_;
    Mode mode_ = Mode::Sniff;
    FileEncoding encoding_;
    std::span<char> lastRoom_;
    std::optional<TextDecoder> decoder_;
    Utf8Check check_;
    bool checking_ = false;
    bool redo_ = false;
    bool refused_ = false;  // the inner sink wanted no more
    bool ended_ = false;
    std::unique_ptr<char[]> raw_;
    std::string text_;
    std::string first_;  // the first piece of a file with a mark, out of the inner sink's room
};

}  // namespace vsr::engine
