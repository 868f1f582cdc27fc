// The tags of audio files, read by TagLib: MP3 (ID3v1 and ID3v2), FLAC, Ogg Vorbis,
// Opus and FLAC, M4A, WAV, told by their content whatever their names.
#pragma once

#include "engine/file_facts.hpp"
#include "metadata/file_source.hpp"

#include <optional>
#include <string_view>

namespace quorvel::metadata {

// Reads the facts of `wanted` (artist, album, title, genre, year, track, disc) into
// `facts`.
void ReadAudioFacts(FileSource& source, FactSet wanted, FileFacts& facts);

// The number a tag starts with ("3" of "3/12", "2024" of "2024-05-01"); nothing
// when it starts with no digit or is 0.
std::optional<std::int64_t> LeadingNumber(std::string_view text);

} // namespace quorvel::metadata
