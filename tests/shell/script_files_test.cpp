// The window's script files: only a script is ever read, so that no later save can
// write over a photo; "Ouvrir" asks about a changed script first; the dialogs start
// where the user works.
#include "editor/script_document.hpp"
#include "engine/codec.hpp"
#include "support/text.hpp"
#include "tests/shell/main_window_fixture.hpp"

#include <QDir>

namespace quorvel::test {
namespace {

// The start of a JPEG file: its markers, the JFIF header, a quantisation table.
const std::string kJpeg = [] {
    std::string bytes("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x48\x00\x48\x00\x00", 20);
    bytes += std::string("\xFF\xDB\x00\x43\x00", 5);
    for (int i = 0; i < 64; ++i) {
        bytes += static_cast<char>(1 + i % 7);
    }
    bytes += "\n12|x\n"; // a line that looks like a command does not make it a script
    return bytes + std::string("\xFF\xD9", 2);
}();
// The start of a program file.
const std::string kBinary("\x7F"
                          "ELF\x02\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x3E\x00",
                          20);

class ScriptFiles : public MainWindowTest {
protected:
    ScriptDocument& Doc() const { return Controller().Script(); }
    std::vector<std::string> Script() const {
        std::vector<std::string> lines;
        for (const Text& line : Doc().Lines()) {
            lines.push_back(EncodeName(line));
        }
        return lines;
    }
    void Open(const std::string& path) {
        desktop_.log.openFileName = QString::fromStdString(path);
        Get<QAction>("MNU_OPEN")->trigger();
    }
    static QString NotAScript(const std::string& path) {
        return QStringLiteral("Le fichier ") + QString::fromStdString(path) +
               QStringLiteral(" n'est pas un script");
    }
};

TEST_F(ScriptFiles, OnlyAScriptIsReadAndAPhotoIsNeverWrittenOver) {
    const std::string photo = folder_.Write("photo.jpg", kJpeg);
    const std::string program = folder_.Write("program", kBinary);
    const std::string notes = folder_.Write("notes.txt", "Liste des courses\n- pain\n- 2|3 pommes\n");
    const std::string script = program_.Write("s.script", "7|Supprimer tous les espaces\r\n");
    Start();
    Open(script);
    ASSERT_EQ(Script(), std::vector<std::string>{"7|Supprimer tous les espaces"});
    for (const std::string& path : {photo, program, notes}) {
        Open(path);
        ASSERT_FALSE(desktop_.log.errors.isEmpty()) << path;
        EXPECT_EQ(desktop_.log.errors.back(), NotAScript(path));
        // The script in memory and its file name stay.
        EXPECT_EQ(Script(), std::vector<std::string>{"7|Supprimer tous les espaces"}) << path;
        EXPECT_EQ(Controller().ScriptFileName().toStdString(), script) << path;
    }
    // Changed, its changes given up for the photo, which is refused: "Enregistrer"
    // still writes the script's own file.
    Doc().Append(T("8|Supprimer tous les accents"));
    desktop_.log.saveAnswer = DesktopLog::SaveAnswer::Discard;
    Open(photo);
    EXPECT_EQ(desktop_.log.errors.back(), NotAScript(photo));
    Get<QAction>("MNU_SAVE")->trigger();
    EXPECT_EQ(ReadFileBytes(script), "7|Supprimer tous les espaces\r\n8|Supprimer tous les accents\r\n");
    EXPECT_EQ(ReadFileBytes(photo), kJpeg);
    EXPECT_EQ(ReadFileBytes(program), kBinary);
}

TEST_F(ScriptFiles, APhotoOnTheCommandLineIsRefusedAndSavingAsksForAName) {
    const std::string photo = folder_.Write("photo.jpg", kJpeg);
    Start({QString::fromStdString(photo)});
    QTRY_VERIFY(!desktop_.log.messages.isEmpty()); // the command line is read
    EXPECT_EQ(desktop_.log.messages, QStringList({NotAScript(photo)}));
    EXPECT_TRUE(Controller().ScriptFileName().isEmpty());
    EXPECT_TRUE(Doc().Lines().empty());
    Doc().Append(T("7|Supprimer tous les espaces"));
    desktop_.log.saveFileName.clear(); // the user cancels the dialog
    Get<QAction>("MNU_SAVE")->trigger();
    EXPECT_EQ(desktop_.log.dialogFolders.size(), 1) << "a name was asked for";
    EXPECT_EQ(ReadFileBytes(photo), kJpeg);
    // A folder named on the command line is no script either.
    window_.reset();
    desktop_.log.messages.clear();
    Start({QString::fromStdString(folder_.path())});
    QTRY_VERIFY(!desktop_.log.messages.isEmpty());
    EXPECT_EQ(desktop_.log.messages,
              QStringList({"Le fichier " + QString::fromStdString(folder_.path()) + " est un dossier"}));
    EXPECT_TRUE(Controller().ScriptFileName().isEmpty());
}

TEST_F(ScriptFiles, OpenAsksAboutAChangedScriptFirst) {
    const std::string other = program_.Write("other.script", "9|Remplacer [Chaine1=a] par [Chaine2=b]\r\n");
    Start();
    // Nothing changed: nothing asked.
    Open(other);
    EXPECT_TRUE(desktop_.log.saveQuestions.isEmpty());
    const std::vector<std::string> opened = Script();

    // "Annuler": everything stays, no dialog.
    Doc().Append(T("7|Supprimer tous les espaces"));
    desktop_.log.saveAnswer = DesktopLog::SaveAnswer::Cancel;
    const auto dialogs = desktop_.log.dialogFolders.size();
    Open(other);
    EXPECT_EQ(desktop_.log.saveQuestions, QStringList({"Enregistrer les modifications du script ?"}));
    EXPECT_EQ(desktop_.log.dialogFolders.size(), dialogs);
    EXPECT_EQ(Script().size(), 2U);
    EXPECT_TRUE(Doc().IsModified());

    // "Oui" with a save that fails: nothing is opened.
    desktop_.log.saveAnswer = DesktopLog::SaveAnswer::Save;
    Controller().SetScriptFileName(QString::fromStdString(program_ / "missing-folder/s.script"));
    Open(other);
    EXPECT_EQ(Script().size(), 2U);
    EXPECT_TRUE(Doc().IsModified());

    // "Oui": saved, then opened.
    Controller().SetScriptFileName(QString::fromStdString(program_ / "kept.script"));
    Open(other);
    EXPECT_EQ(ReadFileBytes(program_ / "kept.script"),
              "9|Remplacer [Chaine1=a] par [Chaine2=b]\r\n7|Supprimer tous les espaces\r\n");
    EXPECT_EQ(Script(), opened);
    EXPECT_FALSE(Doc().IsModified());

    // "Non": the changes are given up.
    Doc().Append(T("8|Supprimer tous les accents"));
    desktop_.log.saveAnswer = DesktopLog::SaveAnswer::Discard;
    Open(other);
    EXPECT_EQ(Script(), opened);
    EXPECT_EQ(desktop_.log.saveQuestions.size(), 4);
}

TEST_F(ScriptFiles, DialogsStartInTheFolderShownElseTheScriptsElseHome) {
    std::filesystem::create_directory(folder_ / "sub");
    std::filesystem::create_directory(folder_ / "sub2");
    Start();
    ListFolder();
    Get<QAction>("MNU_OPEN")->trigger();
    Get<QAction>("MNU_SAVEAS")->trigger();
    const QString shown = QString::fromStdString(folder_.path());
    EXPECT_EQ(desktop_.log.dialogFolders, QStringList({shown, shown}));
    EXPECT_EQ(desktop_.log.dialogFilters,
              QStringList({"Fichier Script (*.script)", "Fichier Script (*.script)"}));

    // The folder shown is gone: the home folder, while there is no script file.
    ListFolder(folder_ / "sub");
    std::filesystem::remove(folder_ / "sub");
    Get<QAction>("MNU_OPEN")->trigger();
    EXPECT_EQ(desktop_.log.dialogFolders.back(), QDir::homePath());
    // Then the folder of the last script.
    Open(program_.Write("s.script", "7|Supprimer tous les espaces\r\n"));
    ASSERT_EQ(Controller().ScriptFileName().toStdString(), program_ / "s.script");
    ListFolder(folder_ / "sub2");
    std::filesystem::remove(folder_ / "sub2");
    Get<QAction>("MNU_SAVEAS")->trigger();
    EXPECT_EQ(desktop_.log.dialogFolders.back(), QString::fromStdString(program_.path()));
}

} // namespace
} // namespace quorvel::test
