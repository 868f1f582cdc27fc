// Reading the facts a template asks of a file: the date a photo or video was
// taken, its modification time, the camera, the size of the picture, the tags of a
// song. Only the facts asked are read; a fact the file does not have is empty.
//
// Only a regular file is ever read (a FIFO, a device, a socket, a link to one of
// them have no facts, and are not even opened); it is opened once, without waiting,
// and everything is read through that one descriptor. A damaged file, a file cut
// short, a photo of junk or a failure of exiv2 or TagLib is that file's alone: its
// content facts are empty.
#pragma once

#include "engine/file_facts.hpp"
#include "metadata/facts_cache.hpp"

#include <string>

namespace quorvel {

// The facts of `wanted` of the file `nameBytes` (the bytes of its directory entry)
// in the folder `dirfd` (or AT_FDCWD with a path).
FileFacts ReadFacts(int dirfd, const std::string& nameBytes, FactSet wanted);

// The same through `cache`: a file whose facts are kept is not opened again, and
// one with only some of them kept is read for the rest alone.
FileFacts ReadFacts(int dirfd, const std::string& nameBytes, FactSet wanted, FactsCache& cache);

} // namespace quorvel
