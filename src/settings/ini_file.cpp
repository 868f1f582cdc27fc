#include "settings/ini_file.hpp"

#include "engine/apply.hpp"
#include "engine/codec.hpp"
#include "engine/errors.hpp"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorvel {

namespace {

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') {
        s.remove_prefix(1);
    }
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') {
        s.remove_suffix(1);
    }
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionOf(std::string_view line) {
    line = TrimBlanks(line);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
        return TrimBlanks(line.substr(1, line.size() - 2));
    }
    return std::nullopt;
}

// The key of a "key=value" line, or nothing.
std::optional<std::string_view> KeyOf(std::string_view line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || SectionOf(line)) {
        return std::nullopt;
    }
    return TrimBlanks(line.substr(0, eq));
}

std::vector<std::string> ReadLines(const std::string& path, bool& exists) {
    std::vector<std::string> lines;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    exists = fd >= 0;
    if (fd < 0) {
        return lines;
    }
    std::string bytes;
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + ((bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

void WriteLines(const std::string& path, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line;
        bytes += '\n';
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    auto fail = [&] { throw FileError(FormatMessage(kCannotWriteMessage, path)); };
    if (fd < 0) {
        fail();
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ::close(fd);
            fail();
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) {
        fail();
    }
}

} // namespace

bool IniFile::Exists() const {
    struct stat st {};
    return ::stat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::string> IniFile::ReadString(std::string_view section, std::string_view key) const {
    bool exists = false;
    bool inSection = false;
    for (const std::string& line : ReadLines(path_, exists)) {
        if (const auto name = SectionOf(line)) {
            inSection = SameName(*name, section);
            continue;
        }
        if (inSection) {
            if (const auto k = KeyOf(line); k && SameName(*k, key)) {
                return std::string(TrimBlanks(std::string_view(line).substr(line.find('=') + 1)));
            }
        }
    }
    return std::nullopt;
}

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                                  std::int32_t fallback) const {
    const auto text = ReadString(section, key);
    if (!text) {
        return fallback;
    }
    return StrictStrToInt(DecodeName(*text)).value_or(fallback);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) const {
    bool exists = false;
    std::vector<std::string> lines = ReadLines(path_, exists);
    const std::string entry = std::string(key) + "=" + std::string(value);

    std::optional<std::size_t> sectionLine;
    std::size_t lastEntry = 0; // line after which a new key of the section goes
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (const auto name = SectionOf(lines[i])) {
            if (sectionLine) {
                break; // the section has ended
            }
            if (SameName(*name, section)) {
                sectionLine = i;
                lastEntry = i;
            }
            continue;
        }
        if (!sectionLine) {
            continue;
        }
        if (const auto k = KeyOf(lines[i]); k && SameName(*k, key)) {
            lines[i] = std::string(*k) + "=" + std::string(value);
            WriteLines(path_, lines);
            return;
        }
        if (!TrimBlanks(lines[i]).empty()) {
            lastEntry = i;
        }
    }
    if (sectionLine) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastEntry + 1), entry);
    } else {
        lines.push_back("[" + std::string(section) + "]");
        lines.push_back(entry);
    }
    WriteLines(path_, lines);
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, std::int64_t value) const {
    WriteString(section, key, std::to_string(value));
}

} // namespace quorvel
