#pragma once

#include <string>

namespace haojian::testing {

// A fresh directory under the system's temporary folder, removed with everything in it when
// the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // The directory, ending in "/".
    const std::string& path() const { return path_; }
    // Writes bytes to path() + name and gives the full path.
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

// The whole content of a file, or "<missing>" when it cannot be read.
std::string ReadFileBytes(const std::string& path);

}  // namespace haojian::testing
