// Makes the desktop open ".script" files with this program: a shared-mime-info
// package for the type and a desktop entry naming the running program, written
// under $XDG_DATA_HOME at every start. Every failure is silent.
#pragma once

#include <QString>

namespace quorvel {

inline constexpr const char* kScriptMimeType = "application/x-quorvel-script";

// The folder that receives the files: $XDG_DATA_HOME, or ~/.local/share.
QString UserDataHome();

void RegisterScriptFileType(const QString& programPath);

} // namespace quorvel
