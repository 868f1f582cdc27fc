// libFuzzer entry point for the readers of facts (exiv2, TagLib, the boxes of videos).
#include "fuzz/metadata_target.hpp"

#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace {

// The folder the inputs are written to, made once.
const std::string& Folder() {
    static const std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/quorvel-fuzz-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (::mkdtemp(buffer.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        return std::string(buffer.data());
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quorvel::fuzz::RunMetadataTarget(Folder(), data, size);
    return 0;
}
