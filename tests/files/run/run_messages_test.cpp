// The messages of a run name their files through Quoted: nothing in a name can
// break a line of a report or make it read as something else.
#include "files/run/run_messages.hpp"

#include <cerrno>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(RunMessagesTest, QuoteTheNamesTheyShow) {
    EXPECT_EQ(DuplicateTargetText(""), "«  » reçoit déjà ce nom");
    EXPECT_EQ(LookalikeText("A\u2028B"), "ne diffère de « A\\u2028B » que par la casse ou les accents");
    EXPECT_EQ(CycleText("a -> b", "accès refusé"),
              "renommage en cycle interrompu par « a -> b » : accès refusé");
    EXPECT_EQ(LeftUnderText(".quorvel-1-2.tmp"), "le fichier porte maintenant le nom « .quorvel-1-2.tmp »");
    EXPECT_EQ(FolderUnreadableText("", ENOENT), "dossier illisible : «  » : ce dossier n'existe pas");
    EXPECT_EQ(FolderUnreadableText("/tmp/a\nb", ENOTDIR),
              "dossier illisible : « /tmp/a\\nb » : ce n'est pas un dossier");
}

} // namespace
} // namespace quorvel
