// Texts of quorvel printed before any window exists.
#pragma once

#include "files/run/run_messages.hpp"

namespace quorvel::app {

// The help of `quorvel --help`, in French; Tr() gives it in the language of the
// messages.
inline constexpr const char* kUsageText =
    TrNoop("Usage : quorvel [SCRIPT [DOSSIER [FILTRE]]]\n"
           "\n"
           "  quorvel                          ouvre la fenêtre\n"
           "  quorvel SCRIPT                   ouvre la fenêtre avec le script\n"
           "  quorvel SCRIPT DOSSIER [FILTRE]  renomme avec le script les fichiers du DOSSIER\n"
           "                                   qui répondent au FILTRE (\"*.*\" par défaut),\n"
           "                                   sans rien demander, et se termine ; cette forme\n"
           "                                   n'a pas besoin d'affichage\n"
           "\n"
           "Options :\n"
           "  -h, --help     affiche cette aide\n"
           "  --version      affiche la version\n"
           "  --files FICHIER...\n"
           "                 ouvre la fenêtre avec ces fichiers seuls, dans l'ordre\n"
           "                 donné, tous sélectionnés ; tout ce qui suit est un FICHIER\n"
           "  --files-from LISTE\n"
           "                 de même, avec les chemins de la LISTE, séparés par des\n"
           "                 octets NUL (\"-\" : l'entrée standard)\n"
           "  --             fin des options : ce qui suit est SCRIPT, DOSSIER et FILTRE\n"
           "\n"
           "Les options de Qt (-style fusion, -platform offscreen, -reverse...) sont\n"
           "acceptées avant \"--\".\n");

} // namespace quorvel::app
