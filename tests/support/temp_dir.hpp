// A fresh folder under the system's temporary folder, removed with everything in it
// when the object goes away.
#pragma once

#include <string>
#include <string_view>

namespace quorvel::test {

class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    // The folder's path, without a trailing "/".
    const std::string& path() const { return path_; }
    // path() + "/" + name.
    std::string operator/(std::string_view name) const;

    // Writes `bytes` to the file `name` in the folder; returns its path.
    std::string Write(std::string_view name, std::string_view bytes) const;

private:
    std::string path_;
};

// The whole content of a file (empty when it cannot be read).
std::string ReadFileBytes(const std::string& path);

} // namespace quorvel::test
