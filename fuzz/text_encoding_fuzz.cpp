// Fuzz target: the first byte picks a text encoding, the rest is text in it. Decoding for an
// edited field and encoding again must give back every byte; the offsets of the bytes must
// lead onto the decoded text in order; and any UTF-16 text must encode without harm, into
// bytes that decode and encode to themselves again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_encoding.h"

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vsr::platform;
    if (size == 0) return 0;
    const CodePageId id = kTextEncodings[data[0] % std::size(kTextEncodings)];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    std::vector<int> at;
    const std::u16string field = decodeText(id, bytes, InvalidBytes::Escape, &at);
    check(at.size() == bytes.size() + 1 && at.back() == static_cast<int>(field.size()));
    for (std::size_t i = 0; i + 1 < at.size(); ++i) check(at[i] <= at[i + 1] && at[i] < static_cast<int>(field.size()));
    const EncodedText back = encodeText(id, field);
    check(!back.refused && back.bytes == bytes);

    const std::u16string shown = decodeText(id, bytes, InvalidBytes::Show);
    if (id != CodePageId::Utf8) check(shown == field);

    std::u16string units;
    for (std::size_t i = 1; i + 1 < size; i += 2) units += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    const EncodedText typed = encodeText(id, units, '?');
    const EncodedText again = encodeText(id, decodeText(id, typed.bytes));
    check(!again.refused && again.bytes == typed.bytes);
    return 0;
}
