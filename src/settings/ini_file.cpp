#include "settings/ini_file.hpp"

#include "engine/apply.hpp"
#include "engine/codec.hpp"
#include "engine/descriptor_io.hpp"
#include "engine/errors.hpp"
#include "engine/replace_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <optional>
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

constexpr std::size_t kMaxSettingsSize = 1 << 20;

std::vector<std::string> LoadLines(const std::string& path) {
    std::vector<std::string> lines;
    // Never blocks on a FIFO or a device: only a regular file of a sane size is read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return lines;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uintmax_t>(st.st_size) > kMaxSettingsSize) {
        ::close(fd);
        return lines;
    }
    // What was read before a failed read is kept, as it always was.
    const std::string bytes = ReadAll(fd, kMaxSettingsSize, static_cast<std::size_t>(st.st_size)).bytes;
    ::close(fd);
    if (bytes.size() > kMaxSettingsSize) {
        return lines; // it grew while it was read
    }
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
    // Written beside and renamed over the old file: a failure leaves it whole.
    try {
        ReplaceFileContent(path, bytes);
    } catch (const FileError&) {
        throw FileError(kCannotWriteMessage, path);
    }
}

} // namespace

// The files of an open session: their lines, and whether they changed.
struct HeldSettings {
    struct File {
        std::vector<std::string> lines;
        bool changed = false;
    };
    std::vector<std::pair<std::string, File>> files;
    File& Of(const std::string& path) {
        for (auto& [p, held] : files) {
            if (p == path) {
                return held;
            }
        }
        files.emplace_back(path, File{LoadLines(path), false});
        return files.back().second;
    }
};

namespace {

std::vector<HeldSettings*> gSessions; // the open sessions, newest last

HeldSettings* Held() {
    return gSessions.empty() ? nullptr : gSessions.back();
}

std::vector<std::string> ReadLines(const std::string& path) {
    return Held() != nullptr ? Held()->Of(path).lines : LoadLines(path);
}

void StoreLines(const std::string& path, std::vector<std::string> lines) {
    if (Held() != nullptr) {
        HeldSettings::File& held = Held()->Of(path);
        held.lines = std::move(lines);
        held.changed = true;
        return;
    }
    WriteLines(path, lines);
}

} // namespace

bool IniFile::Exists() const {
    if (Held() != nullptr && !Held()->Of(path_).lines.empty()) {
        return true;
    }
    struct stat st {};
    return ::stat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

SettingsSession::SettingsSession() : held_(std::make_unique<HeldSettings>()) {
    gSessions.push_back(held_.get());
}

SettingsSession::~SettingsSession() {
    gSessions.erase(std::remove(gSessions.begin(), gSessions.end(), held_.get()), gSessions.end());
}

void SettingsSession::Commit() {
    std::optional<FileError> failure;
    for (auto& [path, held] : held_->files) {
        if (!held.changed) {
            continue;
        }
        try {
            WriteLines(path, held.lines);
            held.changed = false;
        } catch (const FileError& e) {
            failure = e;
        }
    }
    if (failure) {
        throw *failure;
    }
}

std::optional<std::string> IniFile::ReadString(std::string_view section, std::string_view key) const {
    bool inSection = false;
    for (const std::string& line : ReadLines(path_)) {
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
    std::vector<std::string> lines = ReadLines(path_);
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
            StoreLines(path_, std::move(lines));
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
    StoreLines(path_, std::move(lines));
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, std::int64_t value) const {
    WriteString(section, key, std::to_string(value));
}

} // namespace quorvel
