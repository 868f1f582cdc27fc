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
    "\n"
    "Options :\n"
    "  -0, --null     noms séparés par NUL en entrée et en sortie (pour find -print0)\n"
    "  --             fin des options\n"
    "  -h, --help     affiche cette aide\n"
    "  --version      affiche la version\n"
    "\n"
    "Les options se placent avant SCRIPT ; tout ce qui suit SCRIPT est un nom.\n"
    "\n"
    "Codes de sortie : 0 succès, 2 script invalide, 3 erreur de conversion,\n"
    "64 ligne de commande incorrecte, 66 script illisible.\n";

} // namespace quorvel::cli
