#include "files/listing/file_uri.hpp"

#include <algorithm>

namespace quorvel {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view start) {
    return text.size() >= start.size() &&
           std::equal(start.begin(), start.end(), text.begin(), [](char a, char b) {
               return a == (b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a') : b);
           });
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

std::optional<std::string> LocalPathOfFileUri(std::string_view uri) {
    if (!StartsWithNoCase(uri, "file:")) {
        return std::nullopt;
    }
    uri.remove_prefix(5);
    if (uri.starts_with("//")) {
        // An authority: the local host alone.
        const std::size_t slash = uri.find('/', 2);
        if (slash == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view host = uri.substr(2, slash - 2);
        constexpr std::string_view kLocalHost = "localhost";
        if (!host.empty() && !(host.size() == kLocalHost.size() && StartsWithNoCase(host, kLocalHost))) {
            return std::nullopt;
        }
        uri.remove_prefix(slash);
    }
    if (!uri.starts_with('/')) {
        return std::nullopt;
    }
    // "?" and "#" in a name are encoded: unencoded, they end the path.
    uri = uri.substr(0, std::min(uri.find('?'), uri.find('#')));
    std::string path;
    path.reserve(uri.size());
    for (std::size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size() && HexValue(uri[i + 1]) >= 0 && HexValue(uri[i + 2]) >= 0) {
            path += static_cast<char>(HexValue(uri[i + 1]) * 16 + HexValue(uri[i + 2]));
            i += 2;
        } else {
            path += uri[i];
        }
    }
    if (path.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return path;
}

} // namespace quorvel
