#include "support/temp_dir.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vsr::test {

namespace {
std::atomic<unsigned> counter{0};
}

const fs::path& testRoot() {
    static const fs::path root = [] {
        std::string tmpl = (fs::temp_directory_path() / "vsr-test-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) std::abort();
        return fs::path(tmpl);
    }();
    return root;
}

TempDir::TempDir() {
    path_ = testRoot() / ("t" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests may leave read-only folders behind; give write access back first.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

fs::path TempDir::write(std::string_view relative, std::string_view bytes) const {
    fs::path file = path_ / fs::path(std::string(relative));
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
}

fs::path TempDir::mkdir(std::string_view relative) const {
    fs::path dir = path_ / fs::path(std::string(relative));
    fs::create_directories(dir);
    return dir;
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace vsr::test
