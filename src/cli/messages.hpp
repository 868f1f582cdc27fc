// Texts of quorvel-cli.
#pragma once

#include "files/run/run_messages.hpp"

namespace quorvel::cli {

// The whole help, for --help and for a command line without a known command. The
// texts are the French ones; Tr() gives them in the language of the messages.
inline constexpr const char* kUsageText =
    TrNoop("Usage : quorvel-cli COMMANDE [OPTIONS] ...\n"
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
           "  --sort CLÉ     (preview, run) ordre des fichiers, et donc de leur\n"
           "                 numérotation : name, size, modified ou taken\n"
           "  --reverse      (preview, run) ordre inverse\n"
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
           "70 mémoire insuffisante, 74 erreur d'écriture (sortie standard ou journal).\n");

// The usage of each command, for COMMAND --help and a bad command line of COMMAND.
inline constexpr const char* kApplyUsage =
    TrNoop("Usage : quorvel-cli apply [-0] SCRIPT [NOM...]\n"
           "\n"
           "Affiche le nouveau nom de chaque NOM selon le SCRIPT, un par ligne ; sans NOM,\n"
           "lit les noms sur l'entrée standard, un par ligne.\n"
           "\n"
           "  -0, --null     noms séparés par NUL en entrée et en sortie (pour find -print0)\n"
           "  -h, --help     affiche cette aide\n");
inline constexpr const char* kCheckUsage =
    TrNoop("Usage : quorvel-cli check SCRIPT\n"
           "\n"
           "Code de sortie 0 si le SCRIPT est complet, 2 si un paramètre n'a pas de valeur.\n"
           "\n"
           "  -h, --help     affiche cette aide\n");
inline constexpr const char* kPreviewUsage =
    TrNoop("Usage : quorvel-cli preview [-0] [--sort CLÉ] [--reverse] SCRIPT DOSSIER [FILTRE]\n"
           "\n"
           "Affiche, pour chaque fichier du DOSSIER qui répond au FILTRE (\"*.*\" par défaut),\n"
           "l'ancien nom, une tabulation et le nouveau nom, sans rien modifier.\n"
           "\n"
           "  -0, --null     noms séparés par NUL au lieu de la tabulation et du saut de ligne\n"
           "  --sort CLÉ     ordre des fichiers, et donc de leur numérotation : name (par\n"
           "                 nom, par défaut), size (taille), modified (date de\n"
           "                 modification), taken (date de prise de vue) ; les fichiers\n"
           "                 sans cette valeur viennent en dernier, par nom\n"
           "  --reverse      ordre inverse\n"
           "  -h, --help     affiche cette aide\n");
inline constexpr const char* kRunUsage =
    TrNoop("Usage : quorvel-cli run [--dry-run] [-0] [--sort CLÉ] [--reverse] SCRIPT DOSSIER [FILTRE]\n"
           "\n"
           "Renomme sans rien demander les fichiers du DOSSIER qui répondent au FILTRE\n"
           "(\"*.*\" par défaut). Un fichier existant n'est jamais remplacé, et les décalages\n"
           "(1->2, 2->3) et échanges de noms réussissent. Le lancement est consigné dans un\n"
           "journal avant le premier renommage : undo le reprend, resume le termine.\n"
           "\n"
           "  --dry-run      affiche les renommages dans l'ordre où ils seraient faits,\n"
           "                 noms provisoires compris, et les refus, sans rien modifier\n"
           "  -0, --null     (avec --dry-run) renommages séparés par NUL\n"
           "  --sort CLÉ     ordre des fichiers, et donc de leur numérotation : name (par\n"
           "                 nom, par défaut), size (taille), modified (date de\n"
           "                 modification), taken (date de prise de vue) ; les fichiers\n"
           "                 sans cette valeur viennent en dernier, par nom\n"
           "  --reverse      ordre inverse\n"
           "  -h, --help     affiche cette aide\n");
inline constexpr const char* kUndoUsage =
    TrNoop("Usage : quorvel-cli undo DOSSIER\n"
           "\n"
           "Annule le dernier lancement de run sur DOSSIER qui n'est pas encore annulé, même\n"
           "interrompu, le dernier renommage en premier. Un fichier n'est jamais remplacé.\n"
           "\n"
           "  -h, --help     affiche cette aide\n");
inline constexpr const char* kResumeUsage =
    TrNoop("Usage : quorvel-cli resume DOSSIER\n"
           "\n"
           "Termine le dernier lancement de run sur DOSSIER s'il a été interrompu.\n"
           "\n"
           "  -h, --help     affiche cette aide\n");
inline constexpr const char* kHistoryUsage =
    TrNoop("Usage : quorvel-cli history [DOSSIER]\n"
           "\n"
           "Une ligne par lancement enregistré, de tous les dossiers ou du DOSSIER, le plus\n"
           "ancien en premier : date, état, nombres de fichiers, dossier.\n"
           "\n"
           "  -h, --help     affiche cette aide\n");

} // namespace quorvel::cli
