// The facts of a photo, read by exiv2: JPEG, TIFF and the raws built on it (CR2,
// NEF, ARW, DNG, ORF, RW2, PEF, RAF...), PNG, WebP, and HEIF, AVIF and CR3 through
// exiv2's reader of ISO media boxes.
#pragma once

#include "engine/file_facts.hpp"
#include "metadata/file_source.hpp"

namespace quorvel::metadata {

// Reads the photo facts of `wanted` (taken, make, model, lens, width, height) into
// `facts`. A file exiv2 does not know, cannot read or fails on has none of them.
void ReadImageFacts(FileSource& source, FactSet wanted, FileFacts& facts);

} // namespace quorvel::metadata
