#include "engine/catalogue.hpp"

#include "engine/primitives.hpp"

namespace quorvel {

namespace {

constexpr std::array<CommandNode, kCommandNodeCount> kNodes = {{
    {0, 0, U"Supprimer"},
    {1, 1, U"les [n] premiers caractères"},
    {2, 1, U"les [n] derniers caratères"},
    {3, 1, U"du [nième] au [mième] caractères"},
    {4, 1, U"tout ce qu'il y a avant [Chaine]"},
    {5, 1, U"tout ce qu'il y a après [Chaine]"},
    {6, 1, U"toutes les occurences de [Chaine]"},
    {7, 1, U"tous les espaces"},
    {8, 1, U"tous les accents"},
    {9, 0, U"Remplacer"},
    {10, 1, U"[Chaine1] par [Chaine2]"},
    {11, 1, U"tout par [Chaine]"},
    {12, 1, U"l'extention par [Extension]"},
    {13, 0, U"Ajouter"},
    {14, 1, U"[Chaine] au début"},
    {15, 1, U"[Chaine] à la fin"},
    {16, 1, U"[Chaine] à la [nième] postion"},
    {17, 1, U"[Chaine] avant [Chaine2]"},
    {18, 1, U"[Chaine] après [Chaine2]"},
    {19, 1, U"[Numéro] au début"},
    {20, 1, U"[Numéro] à la fin"},
    {21, 1, U"[Numéro] avant [Chaine]"},
    {22, 1, U"[Numéro] après [Chaine]"},
    {23, 0, U"Déplacer"},
    {24, 1, U"Les [n] premiers caractères à la fin"},
    {25, 1, U"Les [n] premiers caractères à la position [nième]"},
    {26, 1, U"Les [n] derniers caractères au debut"},
    {27, 1, U"Les [n] derniers caractères à la position [nième]"},
    {28, 1, U"Les [n] caractères de la position [nième] à [mième]"},
    {29, 0, U"Convertir"},
    {30, 1, U"tout en minuscules"},
    {31, 1, U"tout en majuscules"},
    {32, 1, U"la première lettre de chaque mot en majuscule"},
    {33, 1, U"l'extension en minuscules"},
    {34, 1, U"l'extension en majuscules"},
    {35, 1, U"les accents en forme composée (NFC)"},
    {36, 0, U"Rechercher"},
    {37, 1, U"[Motif] et remplacer par [Chaine2]"},
    {38, 1, U"[Motif] et remplacer le premier par [Chaine2]"},
    {39, 0, U"Composer"},
    {40, 1, U"le nom avec [Modèle]"},
    {41, 1, U"[Modèle] au début"},
    {42, 1, U"[Modèle] à la fin"},
}};

std::uint8_t gLanguageIndex = 0;

} // namespace

const PlaceholderTable PlaceholderNamesFr = {U"[n]",       U"[nième]",   U"[mième]",  U"[Chaine]",
                                             U"[Chaine1]", U"[Chaine2]", U"[Numéro]", U"[Extension]",
                                             U"[Motif]",   U"[Modèle]"};
const PlaceholderTable PlaceholderNamesEn = {U"[n]",       U"[nième]",   U"[mième]",  U"[String]",
                                             U"[String1]", U"[String2]", U"[Number]", U"[Extension]",
                                             U"[Pattern]", U"[Template]"};

std::span<const CommandNode, kCommandNodeCount> CommandNodes() {
    return kNodes;
}

bool IsCommandNumber(std::int64_t number) {
    return number >= 1 && number < kCommandNodeCount && kNodes[static_cast<std::size_t>(number)].level == 1;
}

int GroupOf(int number) {
    int group = 0;
    for (int i = 0; i <= number && i < kCommandNodeCount; ++i) {
        if (kNodes[static_cast<std::size_t>(i)].level == 0) {
            group = i;
        }
    }
    return group;
}

Text MakeScriptLine(int number, TextView groupCaption, TextView commandCaption) {
    Text line = PadNumber(number, 0);
    line.push_back(U'|');
    line.append(groupCaption);
    line.push_back(U' ');
    line.append(commandCaption);
    return line;
}

Text MakeScriptLine(int number) {
    if (!IsCommandNumber(number)) {
        return {};
    }
    return MakeScriptLine(number, kNodes[static_cast<std::size_t>(GroupOf(number))].caption,
                          kNodes[static_cast<std::size_t>(number)].caption);
}

PlaceholderKind PlaceholderKindAt(int index) {
    if (index <= 2) {
        return PlaceholderKind::Integer;
    }
    if (index == 8) {
        return PlaceholderKind::Pattern;
    }
    if (index == 9) {
        return PlaceholderKind::Template;
    }
    return index == 6 ? PlaceholderKind::Number : PlaceholderKind::String;
}

std::uint8_t LanguageIndex() {
    return gLanguageIndex;
}

void SetLanguageIndex(std::uint8_t index) {
    gLanguageIndex = index;
}

const PlaceholderTable& PlaceholderNames() {
    return gLanguageIndex == 1 ? PlaceholderNamesEn : PlaceholderNamesFr;
}

} // namespace quorvel
