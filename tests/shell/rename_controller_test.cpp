// The controller on its own, no window: a real folder listed, a script loaded,
// the preview and the run as the window asks for them.
#include "browser/file_list_model.hpp"
#include "browser/file_selection.hpp"
#include "editor/script_document.hpp"
#include "engine/codec.hpp"
#include "metadata/fixtures.hpp"
#include "shell/rename_controller.hpp"
#include "support/temp_dir.hpp"

#include <QSignalSpy>
#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>

namespace quorvel::test {
namespace {

struct Controller : ::testing::Test {
    TempDir folder;
    RenameController controller;
    QStringList preview;
    QStringList messages;
    QStringList questions;
    std::vector<ExampleMark> marks;

    Controller() {
        QObject::connect(&controller, &RenameController::previewed, [this](int count) {
            preview.clear();
            for (int line = 0; line < count; ++line) {
                preview.push_back(controller.PreviewedName(line));
            }
        });
        QObject::connect(&controller, &RenameController::message,
                         [this](const QString& m) { messages.push_back(m); });
        QObject::connect(&controller, &RenameController::previewMarked,
                         [this](const std::vector<ExampleMark>& m) { marks = m; });
        controller.confirm = [this](const QString&, const QString& question) {
            questions.push_back(question);
            return true;
        };
    }
    void List() { controller.listFolder(QByteArray::fromStdString(folder.path()), QStringLiteral("*.*")); }
};

// A shift runs from its free end: the preview's names are the run's, and the
// folder is listed again with the renamed files selected.
TEST_F(Controller, PreviewsRunsAShiftAndSelectsTheRenamedFiles) {
    for (const char* name : {"1.txt", "2.txt", "3.txt", "keep.doc"}) {
        folder.Write(name, name);
    }
    List();
    ASSERT_EQ(controller.Files().Count(), 4U);
    EXPECT_FALSE(controller.CanPreview());
    QSignalSpy state(&controller, &RenameController::stateChanged);
    controller.Script().Load({DecodeName("20|Ajouter [Numéro=2] à la fin")});
    EXPECT_TRUE(controller.CanPreview());
    EXPECT_GE(state.count(), 1);

    controller.Selection().Select({1, 2, 3});
    controller.preview(PreviewMode::Silent);
    EXPECT_EQ(preview, QStringList({"12.txt", "23.txt", "34.txt"}));

    // "n.txt" to "(n+1).txt": every target but the last is held by the next file.
    controller.Script().Load({DecodeName("1|Supprimer les [n=5] premiers caractères"),
                              DecodeName("20|Ajouter [Numéro=2] à la fin"),
                              DecodeName("15|Ajouter [Chaine=.txt] à la fin")});
    controller.preview(PreviewMode::Silent);
    EXPECT_EQ(preview, QStringList({"2.txt", "3.txt", "4.txt"}));
    controller.run(RunMode::Confirm);
    EXPECT_EQ(questions,
              QStringList({QStringLiteral("êtes-vous sûr de vouloir modifier le nom des fichiers "
                                          "sélectionnés ?\n3 à renommer, 0 inchangés, 0 en conflit")}));
    EXPECT_EQ(ReadFileBytes(folder / "2.txt"), "1.txt");
    EXPECT_EQ(ReadFileBytes(folder / "3.txt"), "2.txt");
    EXPECT_EQ(ReadFileBytes(folder / "4.txt"), "3.txt");
    ASSERT_EQ(controller.Files().Count(), 4U);
    EXPECT_EQ(controller.Selection().Indexes(4), std::vector<std::size_t>({0, 1, 2}));
    EXPECT_EQ(controller.Files().Files().Items(0).NameBytes(), "2.txt");
}

// The preview marks the names the run would not give; a swap, which the run
// does through a temporary name, is not marked.
TEST_F(Controller, ThePreviewMarksConflictsButNotSwaps) {
    for (const char* name : {"ab.txt", "ba.txt", "held.txt"}) {
        folder.Write(name, name);
    }
    List();
    controller.Selection().Select({1, 2});
    controller.Script().Load({DecodeName("11|Remplacer tout par [Chaine=held.txt]")});
    controller.preview(PreviewMode::Silent);
    EXPECT_EQ(preview, QStringList({"held.txt", "held.txt"}));
    ASSERT_EQ(marks.size(), 2U);
    EXPECT_TRUE(marks[0].conflict && marks[1].conflict);
    EXPECT_EQ(marks[0].line, 0);
    EXPECT_FALSE(marks[0].reason.isEmpty());
    EXPECT_NE(marks[0].reason, marks[1].reason); // taken, then given to another file

    controller.Script().Load({DecodeName("24|Déplacer Les [n=1] premiers caractères à la fin")});
    controller.Selection().Select({1, 2});
    controller.preview(PreviewMode::Silent);
    EXPECT_EQ(preview, QStringList({"ba.txt", "ab.txt"}));
    EXPECT_TRUE(marks.empty());
}

// The trace of a file gives its name after each line, numbered as in the preview,
// with what each line changed.
TEST_F(Controller, TheTraceOfAFileFollowsItThroughEachLine) {
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        folder.Write(name, "");
    }
    List();
    controller.Selection().SelectAll(4);
    controller.Script().Load({DecodeName("14|Ajouter [Chaine=x_] au début"),
                              DecodeName("20|Ajouter [Numéro=5] à la fin"),
                              DecodeName("1|Supprimer les [n=1] premiers caractères")});
    controller.preview(PreviewMode::Silent);
    ASSERT_EQ(preview, QStringList({"_a5.txt", "_b6.txt", "_c7.txt"}));
    const std::optional<NameTrace> trace = controller.Trace(2);
    ASSERT_TRUE(trace.has_value());
    EXPECT_EQ(trace->original, "c.txt");
    EXPECT_TRUE(trace->error.isEmpty());
    ASSERT_EQ(trace->steps.size(), 3U);
    const auto step = [&](std::size_t k) {
        const TraceStep& s = trace->steps[k];
        return std::tuple(s.name, s.changedFrom, s.changedLength, s.cut);
    };
    EXPECT_EQ(step(0), std::tuple(QString("x_c.txt"), 0, 2, false));
    EXPECT_EQ(step(1), std::tuple(QString("x_c7.txt"), 3, 1, false));
    EXPECT_EQ(step(2), std::tuple(QString("_c7.txt"), 0, 0, true)); // only taken out
    EXPECT_FALSE(controller.Trace(3).has_value());
    EXPECT_FALSE(controller.Trace(-1).has_value());
}

// The trace of a "Composer" line tells the file what the preview told it: its
// folder and its place.
TEST_F(Controller, TheTraceOfATemplateKnowsTheFolderAndThePlace) {
    for (const char* name : {"a.txt", "b.txt"}) {
        folder.Write(name, "");
    }
    List();
    controller.Selection().SelectAll(3);
    controller.Script().Load({DecodeName("40|Composer le nom avec [Modèle={n:01}-{folder}]")});
    controller.preview(PreviewMode::Silent);
    const QString shown = QString::fromStdString(std::filesystem::path(folder.path()).filename().string());
    ASSERT_EQ(preview, QStringList({"01-" + shown + ".txt", "02-" + shown + ".txt"}));
    const std::optional<NameTrace> trace = controller.Trace(1);
    ASSERT_TRUE(trace.has_value());
    ASSERT_EQ(trace->steps.size(), 1U);
    EXPECT_EQ(trace->steps[0].name, "02-" + shown + ".txt");
    EXPECT_TRUE(trace->steps[0].sources.isEmpty()) << "no fact was written";
}

// Offsets of a trace count the characters of the name as Qt holds them: a name
// outside the Basic Multilingual Plane takes two units per character.
TEST_F(Controller, TraceOffsetsCountTheUnitsOfTheNameShown) {
    folder.Write("\xF0\x9F\x98\x80"
                 "a.txt",
                 ""); // U+1F600 then "a.txt"
    List();
    controller.Selection().SelectAll(2);
    controller.Script().Load({DecodeName("20|Ajouter [Numéro=5] à la fin")});
    controller.preview(PreviewMode::Silent);
    const std::optional<NameTrace> trace = controller.Trace(0);
    ASSERT_TRUE(trace.has_value());
    ASSERT_EQ(trace->steps.size(), 1U);
    EXPECT_EQ(trace->steps[0].name.mid(trace->steps[0].changedFrom, trace->steps[0].changedLength), "5");
}

// A click on a placeholder is read from the script line: a known kind asks for a
// value of that kind, showing what the link shows; the value goes into that very
// placeholder, and only while its line is there.
TEST_F(Controller, AClickedPlaceholderTakesTheValueEnteredWhileItsLineIsThere) {
    controller.Script().Load(
        {DecodeName("16|Ajouter [Chaine=ab] à la [nième] postion"), DecodeName("9|Ajouter [Inconnu] ici")});
    QSignalSpy chosen(&controller, &RenameController::placeholderChosen);
    QSignalSpy noKind(&controller, &RenameController::placeholderOfNoKind);
    QSignalSpy accepted(&controller, &RenameController::valueAccepted);
    QStringList errors;
    QObject::connect(&controller, &RenameController::error, [&](const QString& e) { errors.push_back(e); });

    controller.clickPlaceholder(1, 0); // a name the catalogue lacks
    EXPECT_EQ(noKind.count(), 1);
    EXPECT_EQ(controller.ClickedLine(), -1);
    controller.clickPlaceholder(0, 2); // no third placeholder
    controller.clickPlaceholder(5, 0);
    EXPECT_EQ(chosen.count(), 0);
    EXPECT_EQ(noKind.count(), 1);

    controller.clickPlaceholder(0, 0);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen[0][0].value<PlaceholderKind>(), PlaceholderKind::String);
    EXPECT_EQ(chosen[0][1].toString(), "ab");
    EXPECT_EQ(controller.ClickedLine(), 0);
    controller.clickPlaceholder(0, 1);
    EXPECT_EQ(chosen[1][0].value<PlaceholderKind>(), PlaceholderKind::Integer);
    EXPECT_EQ(chosen[1][1].toString(), "nième");
    controller.enterValue(QStringLiteral("2"));
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_EQ(EncodeName(controller.Script().Lines()[0]), "16|Ajouter [Chaine=ab] à la [nième=2] postion");

    controller.Script().Remove(0);
    controller.Script().Remove(0);
    controller.enterValue(QStringLiteral("3"));
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_EQ(errors, QStringList({"Indice de liste hors limites (0)"}));
}

TEST_F(Controller, AnIncompleteScriptIsReportedOnlyWhenAskedFor) {
    folder.Write("a.txt", "");
    List();
    controller.Selection().SelectAll(2);
    controller.Script().Load({DecodeName("20|Ajouter [Numéro] à la fin")});
    controller.preview(PreviewMode::Silent);
    EXPECT_TRUE(messages.isEmpty());
    controller.preview(PreviewMode::Interactive);
    controller.run(RunMode::Unattended);
    EXPECT_EQ(messages, QStringList({"Script invalide...", "Script invalide..."}));
    EXPECT_TRUE(std::filesystem::exists(folder / "a.txt"));
}

// A photo's date taken reaches its new name, the trace says where it came from,
// and a file without one is a red line with its reason, not a stop of the preview.
TEST_F(Controller, PhotosTakeTheirDateAndAFileWithoutOneIsARedLine) {
    QUORVEL_NEED_TOOL(python, "python3-pil");
    QUORVEL_NEED_TOOL(exiv2, "exiv2");
    MakePicture(folder / "a.jpg", 16, 16);
    SetTags(folder / "a.jpg", {"set Exif.Photo.DateTimeOriginal 2024:07:14 15:30:12"});
    folder.Write("b.jpg", "no photo");
    List();
    controller.Script().Load({DecodeName("40|Composer le nom avec [Modèle={taken:%d %B %Y}]")});
    controller.Selection().Select({1, 2});
    controller.preview(PreviewMode::Silent);
    EXPECT_EQ(preview, QStringList({QStringLiteral("14 juillet 2024.jpg"), QStringLiteral("b.jpg")}))
        << "a file without a date keeps its name";
    ASSERT_EQ(marks.size(), 1U);
    EXPECT_EQ(marks[0].line, 1);
    EXPECT_TRUE(marks[0].conflict);
    EXPECT_EQ(marks[0].reason, QStringLiteral("pas de date de prise de vue"));
    const std::optional<NameTrace> trace = controller.Trace(0);
    ASSERT_TRUE(trace);
    ASSERT_EQ(trace->steps.size(), 1U);
    ASSERT_EQ(trace->steps[0].sources.size(), 1U);
    EXPECT_TRUE(trace->steps[0].sources[0].startsWith(QStringLiteral("{taken} <- DateTimeOriginal 2024")))
        << trace->steps[0].sources[0].toStdString();

    // The run renames the photo and leaves the other file as it is.
    controller.run(RunMode::Confirm);
    EXPECT_TRUE(std::filesystem::exists(folder / "14 juillet 2024.jpg"));
    EXPECT_EQ(ReadFileBytes(folder / "b.jpg"), "no photo");
}

} // namespace
} // namespace quorvel::test
