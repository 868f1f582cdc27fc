// The facts of MP4 and QuickTime videos, read from their boxes: when the video was
// taken (Apple's com.apple.quicktime.creationdate, with the offset of the place,
// else the creation time of the movie header, UTC, shown in the local time zone),
// the camera's make, model and lens as Apple's keys give them, and the size of the
// first video track. exiv2 0.27 reads neither MP4 files nor these keys.
#pragma once

#include "engine/file_facts.hpp"
#include "metadata/file_source.hpp"

namespace quorvel::metadata {

enum class BoxFileKind {
    Other,   // not ISO media boxes
    Picture, // HEIF, AVIF, CR3: photos, for exiv2
    Movie,   // MP4, MOV, M4V, 3GP, M4A...
};

// What the first box of the file says it is.
BoxFileKind KindOfBoxFile(FileSource& source);

// Reads the facts of `wanted` (taken, make, model, lens, width, height) of a movie.
void ReadVideoFacts(FileSource& source, FactSet wanted, FileFacts& facts);

} // namespace quorvel::metadata
