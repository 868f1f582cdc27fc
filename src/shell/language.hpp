// Language files: replace the texts of the main window's components.
#pragma once

#include <QString>

namespace quorvel {

class TFrmMain;

// Reads the language file `name` (".lng") beside the program, or "Français.Lng"
// when it is missing, and applies the window's block to the window. Silent.
void ApplyLanguage(TFrmMain& window, const QString& name);

} // namespace quorvel
