#include "files/rename_run.hpp"

#include "engine/codec.hpp"
#include "files/unique_fd.hpp"

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unordered_map>

namespace quorvel {

namespace {

struct Job {
    const TProjectFile* file;
    Text oldName;
    Text newName;
};

const TProjectFile* RecordOfRow(const TListFiles& files, std::int32_t row) {
    if (row < 1 || static_cast<std::size_t>(row) > files.Count()) {
        return nullptr;
    }
    return &files.Items(static_cast<std::size_t>(row) - 1);
}

std::vector<Job> NewNames(const ScriptLines& script, const TListFiles& files, const TListInt& selectedRows,
                          NumberCounter& counter) {
    std::vector<Job> jobs;
    jobs.reserve(selectedRows.Count());
    for (std::size_t i = 0; i < selectedRows.Count(); ++i) {
        const TProjectFile* file = RecordOfRow(files, selectedRows.Items(i));
        if (file != nullptr) {
            Text name = file->Name();
            Text newName = ApplyScript(script, name, jobs.empty(), counter);
            jobs.push_back({file, std::move(name), std::move(newName)});
        }
    }
    return jobs;
}

std::string FolderBytes(const TProjectFile& file) {
    return file.Folder().empty() ? std::string("./") : EncodeName(file.Folder());
}

// Renames `from` to `to` (bytes) in the folder of `file`; 0 or an errno value.
using Renamer = std::function<int(const TProjectFile& file, const std::string& from, const std::string& to,
                                  std::string& detail)>;

RunReport Play(const ScriptLines& script, const TListFiles& files, const TListInt& selectedRows,
               NumberCounter& counter, const Renamer& rename) {
    counter = 0;
    RunReport report;
    if (!ScriptIsValid(script)) {
        return report;
    }
    std::vector<Job> jobs = NewNames(script, files, selectedRows, counter);
    report.entries.reserve(jobs.size());
    std::string to;
    for (Job& job : jobs) {
        RenameEntry entry{std::move(job.oldName), std::move(job.newName), RenameOutcome::Failed, {}};
        if (entry.newName == entry.oldName) {
            entry.outcome = RenameOutcome::Unchanged;
        } else {
            const std::string& from = job.file->NameBytes();
            to.clear();
            EncodeNameInto(entry.newName, to);
            if (auto bad = BadNameReason(to)) {
                entry.reason = std::move(*bad);
            } else if (BadNameReason(from)) {
                entry.reason = "le nom actuel ne désigne pas un fichier";
            } else {
                std::string detail;
                if (const int error = rename(*job.file, from, to, detail); error != 0) {
                    entry.reason = RenameErrorText(error);
                    if (!detail.empty()) {
                        entry.reason += " ; " + detail;
                    }
                } else {
                    entry.outcome = RenameOutcome::Renamed;
                }
            }
        }
        switch (entry.outcome) {
        case RenameOutcome::Renamed:
            ++report.renamed;
            break;
        case RenameOutcome::Unchanged:
            ++report.unchanged;
            break;
        case RenameOutcome::Failed:
            ++report.failed;
            break;
        }
        report.entries.push_back(std::move(entry));
    }
    return report;
}

// The descriptor of the folder of the last file, opened again only when the folder
// changes.
class FolderHandle {
public:
    int Open(const TProjectFile& file, int& error) {
        if (!fd_.Valid() || folder_ != file.SharedFolder()) {
            folder_ = file.SharedFolder();
            fd_.Reset(::open(FolderBytes(file).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
            error_ = fd_.Valid() ? 0 : errno;
        }
        error = error_;
        return fd_.Get();
    }

private:
    std::shared_ptr<const Text> folder_;
    UniqueFd fd_;
    int error_ = 0;
};

// The folder as the run would leave it: entries added and removed by the renames
// played so far, the disk for everything else.
class FolderPicture {
public:
    int Rename(const TProjectFile& file, const std::string& from, const std::string& to) {
        const std::string folder = FolderBytes(file);
        const std::string source = folder + from;
        const std::string target = folder + to;
        if (!Exists(source)) {
            return ENOENT;
        }
        if (Exists(target) && !SameOnDisk(source, target)) {
            return EEXIST;
        }
        present_[source] = false;
        present_[target] = true;
        return 0;
    }

private:
    bool Exists(const std::string& path) const {
        if (const auto it = present_.find(path); it != present_.end()) {
            return it->second;
        }
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0;
    }

    // One entry reached by two names on a file system that ignores case.
    bool SameOnDisk(const std::string& a, const std::string& b) const {
        if (present_.contains(a) || present_.contains(b)) {
            return false;
        }
        struct stat sa {};
        struct stat sb {};
        return ::lstat(a.c_str(), &sa) == 0 && ::lstat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
               sa.st_ino == sb.st_ino && sa.st_nlink == 1;
    }

    std::unordered_map<std::string, bool> present_;
};

} // namespace

std::vector<Text> PreviewNames(const ScriptLines& script, const TListFiles& files,
                               const TListInt& selectedRows, NumberCounter& counter) {
    counter = 0;
    std::vector<Text> names;
    if (!ScriptIsValid(script)) {
        return names;
    }
    std::vector<Job> jobs = NewNames(script, files, selectedRows, counter);
    names.reserve(jobs.size());
    for (Job& job : jobs) {
        names.push_back(std::move(job.newName));
    }
    return names;
}

RunReport RunRenames(const ScriptLines& script, const TListFiles& files, const TListInt& selectedRows,
                     NumberCounter& counter, RenameMethod method) {
    FolderHandle folder;
    return Play(
        script, files, selectedRows, counter,
        [&](const TProjectFile& file, const std::string& from, const std::string& to, std::string& detail) {
            int error = 0;
            const int dirfd = folder.Open(file, error);
            return error != 0 ? error : SafeRename(dirfd, from, to, &detail, method);
        });
}

RunReport PlanRenames(const ScriptLines& script, const TListFiles& files, const TListInt& selectedRows,
                      NumberCounter& counter) {
    FolderPicture picture;
    return Play(script, files, selectedRows, counter,
                [&](const TProjectFile& file, const std::string& from, const std::string& to, std::string&) {
                    return picture.Rename(file, from, to);
                });
}

} // namespace quorvel
