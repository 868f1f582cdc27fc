#include "shell/language.hpp"

namespace quorvel {

void ApplyLanguage(TFrmMain&, const QString&) {}

} // namespace quorvel
