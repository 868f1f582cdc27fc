#include "metadata/read_facts.hpp"

#include "metadata/audio_facts.hpp"
#include "metadata/fact_fields.hpp"
#include "metadata/fact_time.hpp"
#include "metadata/image_facts.hpp"
#include "metadata/video_facts.hpp"

#include <fcntl.h>

namespace quorvel {
namespace {

using namespace metadata;

// Whether `name` is a regular file, looked at before it is opened, so that a device
// or a FIFO is never opened.
bool StatRegular(int dirfd, const std::string& name, struct stat& status) {
    return ::fstatat(dirfd, name.c_str(), &status, 0) == 0 && S_ISREG(status.st_mode);
}

// The facts of `wanted` of the regular file `name`, whose `status` StatRegular gave:
// nothing when it can no longer be opened as one. `status` becomes the fstat of the
// file opened, the one the facts were read of.
std::optional<FileFacts> ReadRegular(int dirfd, const std::string& name, FactSet wanted,
                                     struct stat& status) {
    FileFacts facts;
    std::optional<FileSource> source;
    if (wanted.NeedsContent() && status.st_size > 0) {
        source = FileSource::Open(dirfd, name, status);
        if (!source) {
            return std::nullopt;
        }
    }
    if (wanted.Has(Fact::Modified)) {
        if (std::optional<LocalTime> time = LocalTimeOfEpochSeconds(status.st_mtim.tv_sec)) {
            std::string text = "mtime " + MomentText(*time);
            facts.modified = Sourced<LocalTime>{std::move(*time), std::move(text)};
        }
    }
    if (!source) {
        return facts;
    }
    if (Meet(wanted, kPictureFacts)) {
        if (KindOfBoxFile(*source) == BoxFileKind::Movie) {
            ReadVideoFacts(*source, wanted, facts);
        } else {
            ReadImageFacts(*source, wanted, facts);
        }
    }
    if (Meet(wanted, kAudioFacts)) {
        ReadAudioFacts(*source, wanted, facts);
    }
    return facts;
}

} // namespace

FileFacts ReadFacts(int dirfd, const std::string& nameBytes, FactSet wanted) {
    struct stat status {};
    if (wanted.Empty() || !StatRegular(dirfd, nameBytes, status)) {
        return {};
    }
    return ReadRegular(dirfd, nameBytes, wanted, status).value_or(FileFacts{});
}

FileFacts ReadFacts(int dirfd, const std::string& nameBytes, FactSet wanted, FactsCache& cache) {
    struct stat status {};
    if (wanted.Empty() || !StatRegular(dirfd, nameBytes, status)) {
        return {};
    }
    const FileKey key = FileKey::Of(status);
    const std::optional<CachedFacts> kept = cache.Find(key);
    FactSet missing = kept ? Without(wanted, kept->asked) : wanted;
    if (missing.Empty()) {
        return OnlyFacts(kept->facts, wanted);
    }
    std::optional<FileFacts> read = ReadRegular(dirfd, nameBytes, missing, status);
    if (read && FileKey::Of(status) != key && missing != wanted) {
        // The file changed between the look and the read: what was kept is of
        // another version of it.
        missing = wanted;
        read = StatRegular(dirfd, nameBytes, status) ? ReadRegular(dirfd, nameBytes, missing, status)
                                                     : std::nullopt;
    }
    if (!read) {
        return {};
    }
    return OnlyFacts(cache.Store(FileKey::Of(status), missing, *read).facts, wanted);
}

} // namespace quorvel
