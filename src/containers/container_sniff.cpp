#include "containers/container_sniff.h"

#include <array>

#include "containers/member_path.h"

namespace vsr::containers {

namespace {

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

bool isZip(std::string_view head) {
    return startsWith(head, std::string_view("PK\3\4", 4)) || startsWith(head, std::string_view("PK\5\6", 4));
}

bool isArchive(std::string_view head) {
    using namespace std::string_view_literals;
    static constexpr std::array kMagic = {
        "\x1f\x8b"sv,                  // gzip
        "BZh"sv,                       // bzip2
        "\xfd" "7zXZ\0"sv,             // xz
        "\x5d\0\0"sv,                  // lzma
        "\x28\xb5\x2f\xfd"sv,          // zstd
        "\x04\x22\x4d\x18"sv,          // lz4
        "7z\xbc\xaf\x27\x1c"sv,        // 7z
        "070707"sv, "070701"sv, "070702"sv,  // cpio, portable and new ASCII
        "\xc7\x71"sv, "\x71\xc7"sv,    // cpio, old binary in either byte order
    };
    if (isZip(head)) return true;
    for (const std::string_view magic : kMagic)
        if (startsWith(head, magic)) return true;
    // POSIX and GNU tar carry "ustar" at offset 257.
    return head.size() >= 262 && head.substr(257, 5) == "ustar";
}

bool hasOfficeSuffix(std::string_view name) {
    static constexpr std::array<std::string_view, 10> kSuffixes = {
        ".odt", ".ods", ".odp", ".docx", ".xlsx", ".pptx", ".docm", ".xlsm", ".pptm", ".epub",
    };
    for (const std::string_view s : kSuffixes)
        if (endsWithNoCase(name, s)) return true;
    return false;
}

}  // namespace

bool isDocumentName(std::string_view name) { return endsWithNoCase(name, ".pdf") || hasOfficeSuffix(name); }

ContainerType classify(std::string_view name, std::string_view head) {
    if (endsWithNoCase(name, ".pdf") && head.substr(0, 1024).find("%PDF-") != std::string_view::npos)
        return ContainerType::Pdf;
    if (hasOfficeSuffix(name) && isZip(head)) return ContainerType::OfficeXml;
    return isArchive(head) ? ContainerType::Archive : ContainerType::None;
}

}  // namespace vsr::containers
