// libFuzzer entry point for the readers of facts (exiv2, TagLib, the boxes of videos).
#include "fuzz/metadata_target.hpp"

#include <cstdlib>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace {

// The folder the inputs are written to, made once and removed at exit.
class Folder {
public:
    Folder() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/quorvel-fuzz-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (::mkdtemp(buffer.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        path_ = buffer.data();
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    ~Folder() {
        ::unlink((path_ + "/input").c_str());
        ::rmdir(path_.c_str());
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Folder folder;
    quorvel::fuzz::RunMetadataTarget(folder.Path(), data, size);
    return 0;
}
