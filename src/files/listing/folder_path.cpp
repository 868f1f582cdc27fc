#include "files/listing/folder_path.hpp"

#include "engine/codec.hpp"

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <unistd.h>
#include <vector>

namespace quorvel {

namespace {

std::optional<std::string> WorkingFolder() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() > (std::size_t{1} << 20)) {
            return std::nullopt;
        }
        buffer.resize(buffer.size() * 2);
    }
    return std::string(buffer.data());
}

} // namespace

Text FolderPath::Shown() const {
    return DecodeName(bytes_);
}

std::string FolderPath::EntryPath(std::string_view name) const {
    if (bytes_.empty()) {
        return std::string(name);
    }
    std::string path = bytes_;
    if (!path.ends_with('/')) {
        path.push_back('/');
    }
    path.append(name);
    return path;
}

std::optional<FolderPath> FolderPath::Absolute() const {
    std::string path;
    if (!bytes_.starts_with('/')) {
        auto cwd = WorkingFolder();
        if (!cwd) {
            return std::nullopt;
        }
        path = std::move(*cwd);
        path.push_back('/');
    }
    path.append(bytes_);
    std::string clean = "/";
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        const std::string_view part = std::string_view(path).substr(start, end - start);
        if (!part.empty() && part != ".") {
            clean.append(part);
            clean.push_back('/');
        }
        start = end + 1;
    }
    if (clean.find("/../") == std::string::npos) {
        return FolderPath(std::move(clean));
    }
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(clean.c_str(), nullptr), &std::free);
    if (!real) {
        return std::nullopt;
    }
    std::string resolved(real.get());
    if (!resolved.ends_with('/')) {
        resolved.push_back('/');
    }
    return FolderPath(std::move(resolved));
}

FolderPath FolderPath::AbsoluteWithoutSlash() const {
    const std::optional<FolderPath> absolute = Absolute();
    if (!absolute) {
        return *this;
    }
    std::string bytes = absolute->bytes_;
    if (bytes.size() > 1) {
        bytes.pop_back();
    }
    return FolderPath(std::move(bytes));
}

} // namespace quorvel
