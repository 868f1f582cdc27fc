#include "files/run/run_messages.hpp"

#include "files/run/safe_rename.hpp"

#include <cerrno>

namespace quorvel {

std::string RenameFailureText(const RenameResult& result) {
    std::string reason = RenameErrorText(result.error);
    if (result.leftUnder) {
        reason += " ; " + LeftUnderText(*result.leftUnder);
    }
    return reason;
}

std::string FolderErrorText(int error) {
    switch (error) {
    case ENOENT:
        return std::string(Tr("ce dossier n'existe pas"));
    case ENOTDIR:
        return std::string(Tr("ce n'est pas un dossier"));
    case ELOOP:
        return std::string(Tr("trop de liens symboliques"));
    case ENAMETOOLONG:
        return std::string(Tr("chemin trop long"));
    default:
        return RenameErrorText(error);
    }
}

std::string GivenPathErrorText(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return kNoSuchFileText;
    case EINVAL:
        return std::string(Tr("ce chemin ne nomme aucun fichier d'un dossier"));
    default:
        return FolderErrorText(error);
    }
}

std::optional<std::string> BadNameReason(std::string_view name) {
    if (name.empty()) {
        return std::string(Tr("le nouveau nom est vide"));
    }
    if (name == "." || name == "..") {
        return FormatText(Tr("le nom %s est réservé"), {Quoted(name)});
    }
    if (name.find('/') != std::string_view::npos) {
        return FormatText(Tr("le nouveau nom contient %s"), {Quoted("/")});
    }
    if (name.find('\0') != std::string_view::npos) {
        return std::string(Tr("le nouveau nom contient un caractère nul"));
    }
    if (name.size() > 255) {
        return std::string(Tr("nom trop long"));
    }
    return std::nullopt;
}

std::string RenameErrorText(int error) {
    switch (error) {
    case kNoSafeRename:
        return std::string(
            Tr("ici, ni renommage sans remplacement ni lien physique : le fichier garde son nom"));
    case EEXIST:
    case ENOTEMPTY:
        return std::string(Tr("un fichier de ce nom existe déjà"));
    case ENOENT:
        return std::string(Tr("le fichier n'existe plus"));
    case ENOTDIR:
        return std::string(Tr("le dossier n'existe plus"));
    case EACCES:
    case EPERM:
        return std::string(Tr("accès refusé"));
    case EROFS:
        return std::string(Tr("système de fichiers en lecture seule"));
    case ENAMETOOLONG:
        return std::string(Tr("nom trop long"));
    case EBUSY:
        return std::string(Tr("fichier en cours d'utilisation"));
    case ENOSPC:
    case EDQUOT:
        return std::string(Tr("plus de place sur le disque"));
    case EINVAL:
    case EILSEQ:
        return std::string(Tr("nom refusé par le système de fichiers"));
    case EIO:
        return std::string(Tr("erreur d'entrée-sortie"));
    case EFBIG:
        return std::string(Tr("fichier trop grand"));
    default:
        return FormatText(Tr("erreur système %s"), {std::to_string(error)});
    }
}

} // namespace quorvel
