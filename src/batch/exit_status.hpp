// The exit statuses of quorvel-cli and of the unattended run of quorvel.
#pragma once

namespace quorvel {

enum ExitStatus : int {
    kOk = 0,
    kFailures = 1,      // some renames (or undos) failed; or nothing to undo or resume
    kInvalidScript = 2, // a placeholder is not filled in; for quorvel, a missing script
    kBadList = 2,       // pairs, edit: a list of names that cannot be read as one; nothing renamed
    kEngineError = 3,   // conversion error; nothing renamed
    kUsage = 64,        // bad command line
    kCannotOpen = 66,   // the script or the folder cannot be read
    kNoMemory = 70,     // not enough memory
    kOutputError = 74,  // standard output or the journal could not be written
};

} // namespace quorvel
