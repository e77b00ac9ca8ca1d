#pragma once
#include <string>
#include <string_view>

namespace vsr::containers {

// A member's name as the archive stores it is untrusted. Rendered, it is a relative path of plain
// components: separators are "/", empty, "." and ".." components are dropped (so a leading "/"
// or "../" never climbs out of the archive), and control characters become "?". A name with no
// component left is "?".
std::string cleanMemberName(std::string_view stored);

// The path of a member as if the archive were a folder: "/data/a.tar.gz" + "src/main.c" gives
// "/data/a.tar.gz/src/main.c". `member` must be clean.
std::string joinMemberPath(std::string_view container, std::string_view member);

// The one member of a compressed file is its name without the compression suffix
// ("notes.txt.gz" holds "notes.txt"; "x.tgz" holds "x.tar"); a name without a known suffix is
// kept whole. `container` may be a full path.
std::string compressedMemberName(std::string_view container);

// The last component of a path.
std::string_view baseName(std::string_view path);

// True when `name` ends with `suffix`, ASCII letters compared without regard to case.
bool endsWithNoCase(std::string_view name, std::string_view suffix);

}  // namespace vsr::containers
