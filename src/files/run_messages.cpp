#include "files/run_messages.hpp"

#include "files/safe_rename.hpp"

#include <cerrno>

namespace quorvel {

std::string FolderErrorText(int error) {
    switch (error) {
    case ENOENT:
        return "ce dossier n'existe pas";
    case ENOTDIR:
        return "ce n'est pas un dossier";
    case ELOOP:
        return "trop de liens symboliques";
    case ENAMETOOLONG:
        return "chemin trop long";
    default:
        return RenameErrorText(error);
    }
}

} // namespace quorvel
