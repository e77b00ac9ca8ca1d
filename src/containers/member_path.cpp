#include "containers/member_path.h"

#include <array>
#include <utility>

namespace vsr::containers {

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string cleanMemberName(std::string_view stored) {
    std::string out;
    std::size_t at = 0;
    while (at <= stored.size()) {
        std::size_t end = stored.find('/', at);
        if (end == std::string_view::npos) end = stored.size();
        const std::string_view part = stored.substr(at, end - at);
        at = end + 1;
        if (part.empty() || part == "." || part == "..") continue;
        if (!out.empty()) out += '/';
        for (const char c : part) {
            const auto u = static_cast<unsigned char>(c);
            out += u < 0x20 || u == 0x7f ? '?' : c;
        }
    }
    return out.empty() ? std::string("?") : out;
}

std::string joinMemberPath(std::string_view container, std::string_view member) {
    std::string out(container);
    if (out.empty() || out.back() != '/') out += '/';
    out += member;
    return out;
}

bool endsWithNoCase(std::string_view name, std::string_view suffix) {
    if (suffix.size() > name.size()) return false;
    const std::string_view tail = name.substr(name.size() - suffix.size());
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (lowerAscii(tail[i]) != lowerAscii(suffix[i])) return false;
    return true;
}

std::string_view baseName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string compressedMemberName(std::string_view container) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 13> kSuffixes = {{
        {".tgz", ".tar"}, {".tbz2", ".tar"}, {".tbz", ".tar"}, {".txz", ".tar"}, {".tzst", ".tar"},
        {".gz", ""}, {".bz2", ""}, {".xz", ""}, {".lzma", ""}, {".zst", ""}, {".lz4", ""}, {".z", ""}, {".lz", ""},
    }};
    const std::string_view name = baseName(container);
    for (const auto& [suffix, replacement] : kSuffixes) {
        if (name.size() > suffix.size() && endsWithNoCase(name, suffix))
            return cleanMemberName(std::string(name.substr(0, name.size() - suffix.size())) + std::string(replacement));
    }
    return cleanMemberName(name);
}

}  // namespace vsr::containers
