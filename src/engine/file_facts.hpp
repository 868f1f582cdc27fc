// What the engine may be told about a file besides its name: the facts a template
// asks for, read from the file by the layers below the programs and handed to the
// engine with the name. The engine itself never opens a file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quorvel {

// The facts a template can ask for, one bit each.
enum class Fact : std::uint32_t {
    Taken = 1U << 0,    // the date a photo or video was taken
    Modified = 1U << 1, // the file's modification time
    Make = 1U << 2,
    Model = 1U << 3,
    Lens = 1U << 4,
    Width = 1U << 5,
    Height = 1U << 6,
    Artist = 1U << 7,
    Album = 1U << 8,
    Title = 1U << 9,
    Genre = 1U << 10,
    Year = 1U << 11,
    Track = 1U << 12,
    Disc = 1U << 13,
};

// A set of facts.
class FactSet {
public:
    constexpr FactSet() = default;
    constexpr FactSet(Fact fact)
        : bits_(static_cast<std::uint32_t>(fact)) {} // NOLINT: a fact is a set of one
    constexpr bool Has(Fact fact) const { return (bits_ & static_cast<std::uint32_t>(fact)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    // Whether any fact must be read from the file's content (all but Modified).
    constexpr bool NeedsContent() const { return (bits_ & ~static_cast<std::uint32_t>(Fact::Modified)) != 0; }
    constexpr FactSet& operator|=(FactSet other) {
        bits_ |= other.bits_;
        return *this;
    }
    friend constexpr FactSet operator|(FactSet a, FactSet b) { return a |= b; }
    constexpr bool operator==(const FactSet&) const = default;
    constexpr std::uint32_t Bits() const { return bits_; }

private:
    std::uint32_t bits_ = 0;
};

// A moment as the file or the camera tells it, in the time of the place it was
// taken when known: broken down, so that the engine formats it without a time zone.
struct LocalTime {
    int year = 0;
    int month = 1;                    // 1..12
    int day = 1;                      // 1..31
    int hour = 0;                     // 0..23
    int minute = 0;                   // 0..59
    int second = 0;                   // 0..60
    int weekday = 0;                  // 0 = Sunday .. 6
    int yearDay = 1;                  // 1..366
    std::string subSeconds;           // the digits as written ("347"), may be empty
    std::optional<int> offsetMinutes; // east of UTC; nothing when unknown
    bool operator==(const LocalTime&) const = default;
};

// A fact's value with where it came from, for the trace ("DateTimeOriginal
// 2024:07:14 15:30:12.347 +02:00").
template <typename T> struct Sourced {
    T value{};
    std::string source;
    bool operator==(const Sourced&) const = default;
};

// The facts read of one file. A fact the file does not have, or was not asked for,
// is empty. Texts are UTF-8 as the file gives them; the engine cleans them.
struct FileFacts {
    std::optional<Sourced<LocalTime>> taken;
    std::optional<Sourced<LocalTime>> modified;
    std::optional<Sourced<std::string>> make;
    std::optional<Sourced<std::string>> model;
    std::optional<Sourced<std::string>> lens;
    std::optional<Sourced<std::int64_t>> width;
    std::optional<Sourced<std::int64_t>> height;
    std::optional<Sourced<std::string>> artist;
    std::optional<Sourced<std::string>> album;
    std::optional<Sourced<std::string>> title;
    std::optional<Sourced<std::string>> genre;
    std::optional<Sourced<std::int64_t>> year;
    std::optional<Sourced<std::int64_t>> track;
    std::optional<Sourced<std::int64_t>> disc;
    bool operator==(const FileFacts&) const = default;
};

} // namespace quorvel
