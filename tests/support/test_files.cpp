#include "tests/support/test_files.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace haojian::testing {
namespace {

// Paths are UTF-8 here, as in the core; a std::string path would be the ANSI code page on
// Windows.
std::filesystem::path Utf8Path(const std::string& path) {
    return std::u8string(path.begin(), path.end());
}

}  // namespace

TempDir::TempDir() {
    // A new folder of a random name, as mkdtemp makes (which Windows lacks); the core takes
    // paths in UTF-8.
    namespace fs = std::filesystem;
    std::random_device seed;
    std::mt19937_64 random((std::uint64_t{seed()} << 32) ^ seed());
    const fs::path base = fs::temp_directory_path();
    for (;;) {
        const fs::path folder = base / ("haojian-test-" + std::to_string(random() % 1000000000));
        if (fs::create_directory(folder)) {
            fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace);
            const std::u8string name = folder.u8string();
            path_ = std::string(name.begin(), name.end()) + "/";
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(Utf8Path(path_), ignored);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
    const std::string full = path_ + name;
    std::ofstream(Utf8Path(full), std::ios::binary) << bytes;
    return full;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(Utf8Path(path), std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace haojian::testing
