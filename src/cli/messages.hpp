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
    "                               existant n'est jamais remplacé\n"
    "\n"
    "Options :\n"
    "  -0, --null     noms séparés par NUL en entrée et en sortie (pour find -print0)\n"
    "  --dry-run      (run) affiche ce qui serait fait, sans rien modifier\n"
    "  --             fin des options\n"
    "  -h, --help     affiche cette aide\n"
    "  --version      affiche la version\n"
    "\n"
    "Les options se placent avant SCRIPT ; tout ce qui suit SCRIPT est un nom.\n"
    "\n"
    "Le FILTRE est une liste de motifs séparés par \";\" (\"*.jpg;*.png\") : \"*\" vaut\n"
    "n'importe quelle suite de caractères, \"?\" un caractère, sans distinction de casse.\n"
    "\n"
    "Codes de sortie : 0 succès, 1 au moins un renommage a échoué, 2 script invalide,\n"
    "3 erreur de conversion (rien n'est renommé), 64 ligne de commande incorrecte,\n"
    "66 script illisible.\n";

} // namespace quorvel::cli
