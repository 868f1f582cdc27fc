// Settings in the INI format, read and written the way the classic private-profile
// functions do: sections and keys keep their order; a new section goes to the end
// of the file, a new key to the end of its section; an existing key is updated in
// place; section and key names ignore letter case.
//
// Each call reads the file and each write writes it whole, except while a
// SettingsSession is open: then the file is read once and written once, when the
// session commits. A file that is not a regular file, or is over 1 MiB, reads as
// missing. A file is written to a temporary file beside it, then renamed over it
// (over the target of a symbolic link, which stays a link).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

class IniFile {
public:
    explicit IniFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }
    bool Exists() const;

    // The value of `key`, or nothing when the file, the section or the key is missing.
    std::optional<std::string> ReadString(std::string_view section, std::string_view key) const;
    // The value read as an integer (decimal with a sign, or hexadecimal after "$",
    // "x" or "0x"), or `fallback` when it is missing or not an integer.
    std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t fallback) const;

    // Throws FileError "Impossible d'écrire dans %s" when the file cannot be written.
    void WriteString(std::string_view section, std::string_view key, std::string_view value) const;
    void WriteInteger(std::string_view section, std::string_view key, std::int64_t value) const;

private:
    std::string path_;
};

struct HeldSettings;

// The settings files of the program held in memory between its start and its
// close. Sessions nest: the newest open one holds the files.
class SettingsSession {
public:
    SettingsSession();
    ~SettingsSession(); // drops what was not committed
    SettingsSession(const SettingsSession&) = delete;
    SettingsSession& operator=(const SettingsSession&) = delete;
    // Writes every file that was changed, once. Throws FileError as IniFile does,
    // after trying every file.
    void Commit();

private:
    std::unique_ptr<HeldSettings> held_;
};

} // namespace quorvel
