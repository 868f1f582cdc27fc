#include "engine/script_file.hpp"

#include "engine/codec.hpp"
#include "engine/descriptor_io.hpp"
#include "engine/errors.hpp"
#include "engine/replace_file.hpp"
#include "engine/unique_fd.hpp"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

ScriptLines ParseScriptText(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    const Text text = DecodeTextFile(bytes);
    ScriptLines lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char32_t c = text[i];
        if (c != U'\r' && c != U'\n') {
            ++i;
            continue;
        }
        lines.emplace_back(text, start, i - start);
        i += (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size()) {
        lines.emplace_back(text, start, text.size() - start);
    }
    return lines;
}

bool IsScriptText(std::string_view bytes) {
    if (bytes.find('\0') != std::string_view::npos) {
        return false;
    }
    bool blank = true;
    for (const Text& line : ParseScriptText(bytes)) {
        // Blanks as trimming takes them away before the command number is read.
        const std::size_t start = std::find_if_not(line.begin(), line.end(), IsTrimmed) - line.begin();
        std::size_t digitsEnd = start;
        while (digitsEnd < line.size() && line[digitsEnd] >= U'0' && line[digitsEnd] <= U'9') {
            ++digitsEnd;
        }
        if (digitsEnd > start && digitsEnd < line.size() && line[digitsEnd] == U'|') {
            return true;
        }
        blank = blank && start == line.size();
    }
    return blank;
}

std::string FormatScriptText(const ScriptLines& script) {
    Text all;
    for (const Text& line : script) {
        all.append(line);
        all.append(U"\r\n");
    }
    // Windows-1252 keeps the file readable by older copies. Those bytes are read
    // back as UTF-8 when they happen to form valid UTF-8 ("Ã©" would come back as
    // "é"); such a script is written in UTF-8 instead.
    if (auto cp1252 = EncodeCp1252(all)) {
        const bool ascii = std::all_of(all.begin(), all.end(), [](char32_t c) { return c < 0x80; });
        if (ascii || !DecodeUtf8Strict(*cp1252)) {
            return *std::move(cp1252);
        }
    }
    // A first line that starts with a byte-order mark keeps it: the reader drops
    // one leading mark.
    std::string bytes = all.starts_with(U'\uFEFF') ? "\xEF\xBB\xBF" : "";
    EncodeNameInto(all, bytes);
    return bytes;
}

namespace {

using Kind = ScriptFileError::Kind;

// The reason the message gives for a file over the limit names the limit.
constexpr std::string_view kTooLargeReason = "il dépasse 64 Mio";
static_assert(kMaxScriptFileBytes == 64 * 1024 * 1024);

std::string ScriptFileMessage(Kind kind, std::string_view path) {
    if (kind == Kind::NotAScript) {
        return FormatMessage(kNotAScriptMessage, path);
    }
    std::string message = FormatMessage(kCannotOpenMessage, path);
    if (kind == Kind::TooLarge) {
        message.append(" : ").append(kTooLargeReason);
    } else if (const std::string_view noun = PathKindNoun(kind); !noun.empty()) {
        message.append(" : c'est ").append(noun);
    }
    return message;
}

// Refuses anything but a regular file, by what it is.
void RequireRegularFile(mode_t mode, const std::string& path) {
    if (S_ISREG(mode)) {
        return;
    }
    if (S_ISDIR(mode)) {
        throw ScriptFileError(Kind::Folder, path);
    }
    if (S_ISFIFO(mode)) {
        throw ScriptFileError(Kind::Fifo, path);
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        throw ScriptFileError(Kind::Device, path);
    }
    if (S_ISSOCK(mode)) {
        throw ScriptFileError(Kind::Socket, path);
    }
    throw ScriptFileError(Kind::Unreadable, path);
}

} // namespace

ScriptFileError::ScriptFileError(Kind kind, std::string_view path)
    : FileError(ScriptFileMessage(kind, path), {}, path), kind_(kind) {}

std::string_view PathKindNoun(Kind kind) {
    switch (kind) {
    case Kind::Folder:
        return "un dossier";
    case Kind::Fifo:
        return "un tube nommé";
    case Kind::Device:
        return "un périphérique";
    case Kind::Socket:
        return "une socket";
    case Kind::Missing:
    case Kind::TooLarge:
    case Kind::Unreadable:
    case Kind::NotAScript:
        break;
    }
    return {};
}

ScriptLines ReadScriptFile(const std::string& path, ScriptReading reading) {
    // Without O_NONBLOCK, opening a named pipe waits for a writer; O_NOCTTY keeps a
    // terminal from becoming this program's controlling one.
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (!fd.Valid()) {
        if (errno == ENOENT || errno == ENOTDIR) {
            throw ScriptFileError(Kind::Missing, path);
        }
        // A socket cannot be opened at all; the message still says what it is.
        if (::stat(path.c_str(), &st) == 0) {
            RequireRegularFile(st.st_mode, path);
        }
        throw ScriptFileError(Kind::Unreadable, path);
    }
    if (::fstat(fd.Get(), &st) != 0) {
        throw ScriptFileError(Kind::Unreadable, path);
    }
    RequireRegularFile(st.st_mode, path);
    if (st.st_size > static_cast<off_t>(kMaxScriptFileBytes)) {
        throw ScriptFileError(Kind::TooLarge, path);
    }
    // The file may grow while it is read: reading one byte past the limit tells.
    auto [bytes, error] = ReadAll(fd.Get(), kMaxScriptFileBytes, static_cast<std::size_t>(st.st_size));
    if (error != 0) {
        throw ScriptFileError(Kind::Unreadable, path);
    }
    if (bytes.size() > kMaxScriptFileBytes) {
        throw ScriptFileError(Kind::TooLarge, path);
    }
    if (reading == ScriptReading::ScriptsOnly && !IsScriptText(bytes)) {
        throw ScriptFileError(Kind::NotAScript, path);
    }
    return ParseScriptText(bytes);
}

void WriteScriptFile(const std::string& path, const ScriptLines& script) {
    ReplaceFileContent(path, FormatScriptText(script));
}

} // namespace quorvel
