#include "engine/catalogue.hpp"
#include "engine/script.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::U8;

TEST(Catalogue, HasSevenGroupsAndThirtySixCommandsNumberedByPosition) {
    const auto nodes = CommandNodes();
    int groups = 0;
    int commands = 0;
    for (int i = 0; i < kCommandNodeCount; ++i) {
        EXPECT_EQ(nodes[static_cast<std::size_t>(i)].number, i);
        (nodes[static_cast<std::size_t>(i)].level == 0 ? groups : commands)++;
        EXPECT_EQ(IsCommandNumber(i), nodes[static_cast<std::size_t>(i)].level == 1) << i;
    }
    EXPECT_EQ(groups, 7);
    EXPECT_EQ(commands, 36);
    for (const int group : {0, 9, 13, 23, 29, 36, 39}) {
        EXPECT_EQ(nodes[static_cast<std::size_t>(group)].level, 0) << group;
    }
    EXPECT_EQ(U8(nodes[0].caption), "Supprimer");
    EXPECT_EQ(U8(nodes[9].caption), "Remplacer");
    EXPECT_EQ(U8(nodes[13].caption), "Ajouter");
    EXPECT_EQ(U8(nodes[23].caption), "Déplacer");
    EXPECT_EQ(U8(nodes[29].caption), "Convertir");
    EXPECT_EQ(U8(nodes[36].caption), "Rechercher");
    EXPECT_EQ(U8(nodes[39].caption), "Composer");
    EXPECT_FALSE(IsCommandNumber(-1));
    EXPECT_FALSE(IsCommandNumber(29));
    EXPECT_FALSE(IsCommandNumber(36));
    EXPECT_TRUE(IsCommandNumber(38));
    EXPECT_FALSE(IsCommandNumber(39));
    EXPECT_TRUE(IsCommandNumber(40));
    EXPECT_TRUE(IsCommandNumber(42));
    EXPECT_FALSE(IsCommandNumber(43));
}

TEST(Catalogue, EnumerationMatchesTheTree) {
    EXPECT_EQ(static_cast<int>(Command::DeleteFirst), 1);
    EXPECT_EQ(static_cast<int>(Command::DeleteAccents), 8);
    EXPECT_EQ(static_cast<int>(Command::ReplaceText), 10);
    EXPECT_EQ(static_cast<int>(Command::ReplaceExtension), 12);
    EXPECT_EQ(static_cast<int>(Command::AddAtStart), 14);
    EXPECT_EQ(static_cast<int>(Command::NumberAfter), 22);
    EXPECT_EQ(static_cast<int>(Command::MoveFirstToEnd), 24);
    EXPECT_EQ(static_cast<int>(Command::MoveRange), 28);
    EXPECT_EQ(static_cast<int>(Command::LowerAll), 30);
    EXPECT_EQ(static_cast<int>(Command::ComposeAccents), 35);
    EXPECT_EQ(static_cast<int>(Command::SearchReplaceAll), 37);
    EXPECT_EQ(static_cast<int>(Command::SearchReplaceFirst), 38);
    EXPECT_EQ(static_cast<int>(Command::ComposeName), 40);
    EXPECT_EQ(static_cast<int>(Command::ComposeAtStart), 41);
    EXPECT_EQ(static_cast<int>(Command::ComposeAtEnd), 42);
}

TEST(Catalogue, MakesScriptLinesFromNodes) {
    EXPECT_EQ(U8(MakeScriptLine(1)), "1|Supprimer les [n] premiers caractères");
    EXPECT_EQ(U8(MakeScriptLine(12)), "12|Remplacer l'extention par [Extension]");
    EXPECT_EQ(U8(MakeScriptLine(16)), "16|Ajouter [Chaine] à la [nième] postion");
    EXPECT_EQ(U8(MakeScriptLine(28)), "28|Déplacer Les [n] caractères de la position [nième] à [mième]");
    EXPECT_EQ(U8(MakeScriptLine(9)), "");
    EXPECT_EQ(U8(MakeScriptLine(29)), "");
    EXPECT_EQ(U8(MakeScriptLine(32)), "32|Convertir la première lettre de chaque mot en majuscule");
    EXPECT_EQ(U8(MakeScriptLine(36)), "");
    EXPECT_EQ(U8(MakeScriptLine(37)), "37|Rechercher [Motif] et remplacer par [Chaine2]");
    EXPECT_EQ(U8(MakeScriptLine(38)), "38|Rechercher [Motif] et remplacer le premier par [Chaine2]");
    EXPECT_EQ(U8(MakeScriptLine(39)), "");
    EXPECT_EQ(U8(MakeScriptLine(40)), "40|Composer le nom avec [Modèle]");
    EXPECT_EQ(U8(MakeScriptLine(41)), "41|Composer [Modèle] au début");
    EXPECT_EQ(U8(MakeScriptLine(42)), "42|Composer [Modèle] à la fin");
    EXPECT_EQ(U8(MakeScriptLine(43)), "");
    EXPECT_EQ(U8(MakeScriptLine(4, U"Delete", U"everything before [String]")),
              "4|Delete everything before [String]");
    // Every command's line is its own number, and unfilled until its values are given.
    for (int i = 0; i < kCommandNodeCount; ++i) {
        if (!IsCommandNumber(i)) {
            continue;
        }
        const Text line = MakeScriptLine(i);
        EXPECT_EQ(CommandNumber(line), i);
        const bool hasPlaceholder = line.find(U'[') != Text::npos;
        EXPECT_EQ(ScriptIsValid({line}), !hasPlaceholder) << U8(line);
    }
}

TEST(Catalogue, PlaceholderTablesFollowTheLanguage) {
    EXPECT_EQ(U8(PlaceholderNamesFr[3]), "[Chaine]");
    EXPECT_EQ(U8(PlaceholderNamesFr[6]), "[Numéro]");
    EXPECT_EQ(U8(PlaceholderNamesEn[3]), "[String]");
    EXPECT_EQ(U8(PlaceholderNamesEn[6]), "[Number]");
    EXPECT_EQ(U8(PlaceholderNamesFr[8]), "[Motif]");
    EXPECT_EQ(U8(PlaceholderNamesEn[8]), "[Pattern]");
    EXPECT_EQ(PlaceholderKindAt(8), PlaceholderKind::Pattern);
    EXPECT_EQ(U8(PlaceholderNamesFr[9]), "[Modèle]");
    EXPECT_EQ(U8(PlaceholderNamesEn[9]), "[Template]");
    EXPECT_EQ(PlaceholderKindAt(9), PlaceholderKind::Template);
    EXPECT_EQ(U8(PlaceholderNamesEn[1]), "[nième]");
    EXPECT_EQ(PlaceholderKindAt(0), PlaceholderKind::Integer);
    EXPECT_EQ(PlaceholderKindAt(2), PlaceholderKind::Integer);
    EXPECT_EQ(PlaceholderKindAt(5), PlaceholderKind::String);
    EXPECT_EQ(PlaceholderKindAt(6), PlaceholderKind::Number);
    EXPECT_EQ(PlaceholderKindAt(7), PlaceholderKind::String);

    EXPECT_EQ(LanguageIndex(), 0);
    EXPECT_EQ(PlaceholderNames(), PlaceholderNamesFr);
    SetLanguageIndex(1);
    EXPECT_EQ(PlaceholderNames(), PlaceholderNamesEn);
    SetLanguageIndex(0);
    EXPECT_EQ(PlaceholderNames(), PlaceholderNamesFr);
}

} // namespace
} // namespace quorvel
