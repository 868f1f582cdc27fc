// Texts of quorvel-cli.
#pragma once

#include <string_view>

namespace quorvel::cli {

inline constexpr std::string_view kInvalidScriptText = "Script invalide...";

inline constexpr std::string_view kUsageText =
    "Usage : quorvel-cli COMMANDE [OPTIONS] ...\n"
    "\n"
    "Renomme des fichiers en masse avec un script Quorvel (.script).\n"
    "\n"
    "Commandes :\n"
    "  apply [-0] SCRIPT [NOM...]   affiche le nouveau nom de chaque NOM, un par ligne ;\n"
    "                               sans NOM, lit les noms sur l'entrée standard\n"
    "  check SCRIPT                 code de sortie 0 si le script est complet, 2 sinon\n"
    "  preview [-0] SCRIPT DOSSIER [FILTRE]\n"
    "                               affiche, pour chaque fichier du DOSSIER qui répond au\n"
    "                               FILTRE (\"*.*\" par défaut), l'ancien nom, une tabulation\n"
    "                               et le nouveau nom\n"
    "  run [--dry-run] [-0] SCRIPT DOSSIER [FILTRE]\n"
    "                               renomme ces fichiers sans rien demander ; un fichier\n"
    "                               existant n'est jamais remplacé, et les décalages\n"
    "                               (1->2, 2->3) et échanges de noms réussissent\n"
    "  undo DOSSIER                 annule le dernier lancement de run sur DOSSIER qui\n"
    "                               n'est pas encore annulé, même interrompu\n"
    "  resume DOSSIER               termine le dernier lancement sur DOSSIER s'il a été\n"
    "                               interrompu\n"
    "  history [DOSSIER]            une ligne par lancement enregistré : date, état,\n"
    "                               nombres de fichiers, dossier\n"
    "\n"
    "Options :\n"
    "  -0, --null     noms séparés par NUL en entrée et en sortie (pour find -print0)\n"
    "  --dry-run      (run) affiche les renommages dans l'ordre où ils seraient faits,\n"
    "                 noms provisoires compris, et les refus, sans rien modifier\n"
    "  --             fin des options\n"
    "  -h, --help     affiche cette aide\n"
    "  --version      affiche la version\n"
    "\n"
    "Les options se placent avant SCRIPT ; tout ce qui suit SCRIPT est un nom.\n"
    "\n"
    "Le FILTRE est une liste de motifs séparés par \";\" (\"*.jpg;*.png\") : \"*\" vaut\n"
    "n'importe quelle suite de caractères, \"?\" un caractère, sans distinction de casse.\n"
    "\n"
    "Chaque lancement de run qui renomme au moins un fichier est consigné avant le\n"
    "premier renommage dans un journal sous $XDG_STATE_HOME/quorvel (par défaut\n"
    "~/.local/state/quorvel) ; les 50 derniers sont gardés.\n"
    "\n"
    "Codes de sortie : 0 succès, 1 au moins un renommage (ou une annulation) a échoué,\n"
    "ou rien à annuler ou à reprendre, 2 script invalide, 3 erreur de conversion (rien\n"
    "n'est renommé), 64 ligne de commande incorrecte, 66 script ou dossier illisible,\n"
    "70 mémoire insuffisante, 74 erreur d'écriture (sortie standard ou journal).\n";

} // namespace quorvel::cli
