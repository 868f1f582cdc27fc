#include "engine/errors.hpp"
#include "engine/script_file.hpp"
#include "support/temp_dir.hpp"
#include "support/text.hpp"
#include "support/unprivileged.hpp"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace quorvel {
namespace {

using test::T;
using test::U8;

std::vector<std::string> AsUtf8(const ScriptLines& lines) {
    std::vector<std::string> out;
    for (const Text& line : lines) {
        out.push_back(U8(line));
    }
    return out;
}

using Lines = std::vector<std::string>;

TEST(ScriptText, CutsLinesAtEveryKindOfBreak) {
    struct Case {
        std::string bytes;
        Lines expected;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"\r\n", {""}},
        {"a\n\n", {"a", ""}},
        {std::string("a\r\nb\0c\r\nd", 9), {"a", "b"}},
        {std::string("\0abc", 4), {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AsUtf8(ParseScriptText(c.bytes)), c.expected);
    }
}

TEST(ScriptText, ReadsWindows1252AndUtf8) {
    EXPECT_EQ(AsUtf8(ParseScriptText("1|Supprimer les [n=3] premiers caract\xE8res\r\n")),
              Lines{"1|Supprimer les [n=3] premiers caractères"});
    EXPECT_EQ(AsUtf8(ParseScriptText("1|Supprimer les [n=3] premiers caract\xC3\xA8res\r\n")),
              Lines{"1|Supprimer les [n=3] premiers caractères"});
    EXPECT_EQ(AsUtf8(ParseScriptText("\xEF\xBB\xBF"
                                     "14|Ajouter [Chaine=\xE2\x82\xAC] au d\xC3\xA9"
                                     "but\n")),
              Lines{"14|Ajouter [Chaine=€] au début"});
    // One stray byte makes the whole file Windows-1252, "€" included.
    EXPECT_EQ(AsUtf8(ParseScriptText("14|[Chaine=\x80]\r\n15|\xC3\xA9\xE9\r\n")),
              (Lines{"14|[Chaine=€]", "15|Ã©é"}));
}

TEST(ScriptText, WritesWindows1252WhenEveryCharacterFits) {
    const ScriptLines script = {T("1|Supprimer les [n=3] premiers caractères"),
                                T("7|Supprimer tous les espaces")};
    EXPECT_EQ(FormatScriptText(script),
              "1|Supprimer les [n=3] premiers caract\xE8res\r\n7|Supprimer tous les espaces\r\n");
    EXPECT_EQ(FormatScriptText({}), "");
    EXPECT_EQ(FormatScriptText({T("")}), "\r\n");
    EXPECT_EQ(FormatScriptText({T("14|[Chaine=€]")}), "14|[Chaine=\x80]\r\n");
}

TEST(ScriptText, WritesUtf8WhenACharacterIsOutsideWindows1252) {
    const ScriptLines script = {T("14|Ajouter [Chaine=日本] au début")};
    EXPECT_EQ(FormatScriptText(script), "14|Ajouter [Chaine=\xE6\x97\xA5\xE6\x9C\xAC] au d\xC3\xA9"
                                        "but\r\n");
}

TEST(ScriptText, RoundTripsWhateverTheText) {
    const std::vector<ScriptLines> scripts = {
        {T("1|Supprimer les [n=3] premiers caractères"), T(""), T("abc")},
        {T("14|Ajouter [Chaine=日本] au début"), T("15|Ajouter [Chaine=é] à la fin")},
        // Windows-1252 bytes of this text would read back as UTF-8 "é".
        {T("14|Ajouter [Chaine=Ã©] au début")},
        // A line that starts with a byte-order mark keeps it.
        {T("\uFEFF14|x"), T("y")},
        {T("\u0081\u008D\u008F\u0090\u009D")},
    };
    for (const auto& script : scripts) {
        EXPECT_EQ(AsUtf8(ParseScriptText(FormatScriptText(script))), AsUtf8(script));
    }
}

TEST(ScriptFiles, WriteThenReadGivesTheSameScript) {
    test::TempDir dir;
    const std::string path = dir / "essai.script";
    const ScriptLines script = {T("1|Supprimer les [n=2] premiers caractères"),
                                T("20|Ajouter [Numéro=001] à la fin")};
    WriteScriptFile(path, script);
    EXPECT_EQ(test::ReadFileBytes(path),
              "1|Supprimer les [n=2] premiers caract\xE8res\r\n20|Ajouter [Num\xE9ro=001] \xE0 la fin\r\n");
    EXPECT_EQ(ReadScriptFile(path), script);
    // Writing again replaces the file.
    WriteScriptFile(path, {T("7|Supprimer tous les espaces")});
    EXPECT_EQ(test::ReadFileBytes(path), "7|Supprimer tous les espaces\r\n");
}

// The names in a folder, in order.
std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// The message of the FileError that saving `script` to `path` raises; empty when it
// is saved.
std::string SaveError(const std::string& path, const ScriptLines& script) {
    try {
        WriteScriptFile(path, script);
    } catch (const FileError& e) {
        return e.what();
    }
    return {};
}

const ScriptLines kOld = {T("7|Supprimer tous les espaces")};
const ScriptLines kNew = {T("1|Supprimer les [n=2] premiers caractères"),
                          T("20|Ajouter [Numéro=001] à la fin")};
const std::string kNewBytes =
    "1|Supprimer les [n=2] premiers caract\xE8res\r\n20|Ajouter [Num\xE9ro=001] \xE0 la fin\r\n";

TEST(ScriptFiles, SavingReplacesTheFileAsOneStepAndKeepsItsRights) {
    test::TempDir dir;
    const std::string path = dir / "essai.script";
    WriteScriptFile(path, kOld);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    // A reader that opened the old file goes on reading it whole: the new content
    // is a new file, never the old one truncated and written again.
    const int reader = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    WriteScriptFile(path, kNew);
    char buffer[64] = {};
    const ssize_t n = ::read(reader, buffer, sizeof buffer);
    ::close(reader);
    EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0))),
              "7|Supprimer tous les espaces\r\n");
    EXPECT_EQ(test::ReadFileBytes(path), kNewBytes);
    EXPECT_EQ(ModeOf(path), 0640u);
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"essai.script"}) << "no temporary file is left";

    ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
    WriteScriptFile(path, kOld);
    EXPECT_EQ(ModeOf(path), 0604u);

    // Names up to the longest a file system takes, saved new and then again.
    for (const std::size_t length : {240u, 241u, 242u, 243u, 255u}) {
        const std::string longName = dir / std::string(length, 'n');
        EXPECT_EQ(SaveError(longName, kOld), "") << length;
        EXPECT_EQ(SaveError(longName, kNew), "") << length;
        EXPECT_EQ(test::ReadFileBytes(longName), kNewBytes) << length;
        std::filesystem::remove(longName);
    }

    // A new file: 0666 less the umask.
    const mode_t mask = ::umask(027);
    WriteScriptFile(dir / "nouveau.script", kNew);
    ::umask(mask);
    EXPECT_EQ(ModeOf(dir / "nouveau.script"), 0640u);
    EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"essai.script", "nouveau.script"}));
}

TEST(ScriptFiles, SavingThroughASymbolicLinkReplacesItsTargetAndKeepsTheLink) {
    test::TempDir dir;
    std::filesystem::create_directories(dir / "scripts");
    std::filesystem::create_directories(dir / "bureau");
    const std::string real = dir / "scripts/photos.script";
    WriteScriptFile(real, kOld);
    ASSERT_EQ(::chmod(real.c_str(), 0600), 0);
    // bureau/raccourci.script -> lien.script -> ../scripts/photos.script, both relative.
    std::filesystem::create_symlink("../scripts/photos.script", dir / "bureau/lien.script");
    std::filesystem::create_symlink("lien.script", dir / "bureau/raccourci.script");
    WriteScriptFile(dir / "bureau/raccourci.script", kNew);
    EXPECT_EQ(std::filesystem::read_symlink(dir / "bureau/raccourci.script"), "lien.script");
    EXPECT_EQ(std::filesystem::read_symlink(dir / "bureau/lien.script"), "../scripts/photos.script");
    EXPECT_EQ(test::ReadFileBytes(real), kNewBytes);
    EXPECT_EQ(ModeOf(real), 0600u);
    EXPECT_EQ(Entries(dir / "scripts"), std::vector<std::string>{"photos.script"});
    EXPECT_EQ(Entries(dir / "bureau"), (std::vector<std::string>{"lien.script", "raccourci.script"}));

    // A link to a file that does not exist yet makes that file.
    std::filesystem::create_symlink(dir / "scripts/futur.script", dir / "bureau/futur.script");
    WriteScriptFile(dir / "bureau/futur.script", kOld);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "bureau/futur.script"));
    EXPECT_EQ(test::ReadFileBytes(dir / "scripts/futur.script"), "7|Supprimer tous les espaces\r\n");

    // A loop of links leads nowhere.
    std::filesystem::create_symlink("boucle2", dir / "bureau/boucle1");
    std::filesystem::create_symlink("boucle1", dir / "bureau/boucle2");
    EXPECT_EQ(SaveError(dir / "bureau/boucle1", kNew),
              "Impossible de créer le fichier " + dir / "bureau/boucle1");
}

TEST(ScriptFiles, AFailedSaveLeavesTheOldFileAndNoTemporaryFile) {
    test::TempDir dir;
    const std::string path = dir / "essai.script";
    WriteScriptFile(path, kOld);
    const std::string oldBytes = test::ReadFileBytes(path);

    // A folder that cannot be written, though the file can: the file stays whole.
    // Root writes everywhere: the save runs in a child without root's rights.
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    const auto status = test::InChildWithoutRoot(
        [&] { return SaveError(path, kNew) == "Impossible d'écrire dans " + path ? 0 : 1; });
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    if (!status) {
        GTEST_SKIP() << "cannot give up root's rights here";
    }
    EXPECT_EQ(*status, 0) << "the save did not fail with its message";
    EXPECT_EQ(test::ReadFileBytes(path), oldBytes);
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"essai.script"});

    // The disk fills up in the middle of the new content (a file size limit, which
    // binds root too): the old content stays, the partial new file goes.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(SaveError(path, kNew) == "Impossible d'écrire dans " + path ? 0 : 1);
    }
    int childStatus = 0;
    ASSERT_EQ(::waitpid(child, &childStatus, 0), child);
    EXPECT_TRUE(WIFEXITED(childStatus) && WEXITSTATUS(childStatus) == 0);
    EXPECT_EQ(test::ReadFileBytes(path), oldBytes);
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"essai.script"});

    // What is not a regular file is not replaced.
    // Should the save open a named pipe, it would wait for a reader: one comes after
    // a while, and the test fails rather than hangs.
    const std::string fifo = dir / "tube.script";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto saving = std::async(std::launch::async, [&] { return SaveError(fifo, kNew); });
    int reader = -1;
    if (saving.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ADD_FAILURE() << "saving to a named pipe waits for a reader";
        reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    }
    EXPECT_EQ(saving.get(), "Impossible de créer le fichier " + fifo);
    if (reader >= 0) {
        ::close(reader);
    }
    EXPECT_EQ(SaveError(dir.path(), kNew), "Impossible de créer le fichier " + dir.path());
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"essai.script", "tube.script"}));
}

// The kind and message of the error that reading `path` raises.
std::pair<ScriptFileError::Kind, std::string> ReadError(const std::string& path) {
    try {
        (void)ReadScriptFile(path);
    } catch (const ScriptFileError& e) {
        return {e.kind(), e.what()};
    }
    ADD_FAILURE() << path << " was read";
    return {};
}

TEST(ScriptFiles, ReportFilesThatCannotBeOpenedOrCreated) {
    using Kind = ScriptFileError::Kind;
    test::TempDir dir;
    const std::string missing = dir / "absent.script";
    const std::string cannotOpen = "Impossible d'ouvrir le fichier ";
    EXPECT_EQ(ReadError(missing), std::pair(Kind::Missing, cannotOpen + missing));
    EXPECT_EQ(ReadError(dir.Write("f", "") + "/x.script"),
              std::pair(Kind::Missing, cannotOpen + dir / "f/x.script"));
    EXPECT_EQ(ReadError(dir.path()),
              std::pair(Kind::Folder, cannotOpen + dir.path() + " : c'est un dossier"));
    EXPECT_EQ(ReadError("/dev/null"),
              std::pair(Kind::Device, cannotOpen + "/dev/null : c'est un périphérique"));

    // A socket cannot be opened at all.
    const std::string socketPath = dir / "socket.script";
    const int sock = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    const int bound = ::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::close(sock);
    ASSERT_EQ(bound, 0);
    EXPECT_EQ(ReadError(socketPath),
              std::pair(Kind::Socket, cannotOpen + socketPath + " : c'est une socket"));

    // Opening a named pipe to read it waits for a writer unless told not to. Should
    // it wait, a writer that comes and goes releases it: the test fails, not hangs.
    const std::string fifo = dir / "tube.script";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto reading = std::async(std::launch::async, [&] { return ReadError(fifo); });
    if (reading.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ADD_FAILURE() << "reading a named pipe waits for a writer";
        if (const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK); writer >= 0) {
            ::close(writer);
        }
    }
    EXPECT_EQ(reading.get(), std::pair(Kind::Fifo, cannotOpen + fifo + " : c'est un tube nommé"));

    // Sparse files: the one over the limit is refused from its size, unread.
    const std::string largest = dir.Write("largest.script", "");
    const std::string tooLarge = dir.Write("too-large.script", "");
    ASSERT_EQ(::truncate(largest.c_str(), static_cast<off_t>(kMaxScriptFileBytes)), 0);
    ASSERT_EQ(::truncate(tooLarge.c_str(), static_cast<off_t>(kMaxScriptFileBytes + 1)), 0);
    EXPECT_EQ(ReadScriptFile(largest), ScriptLines{});
    EXPECT_EQ(ReadError(tooLarge), std::pair(Kind::TooLarge, cannotOpen + tooLarge + " : il dépasse 64 Mio"));

    const std::string inMissingFolder = dir / "nowhere/x.script";
    try {
        WriteScriptFile(inMissingFolder, {T("7|x")});
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "Impossible de créer le fichier " + inMissingFolder);
    }
}

// The first bytes of a JPEG photo as a camera writes them: start of image, the
// JFIF header (its identifier ends with a NUL), a quantisation table, end of image.
std::string JpegBytes() {
    std::string jpeg("\xFF\xD8"                                                     // start of image
                     "\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x48\x00\x48\x00\x00" // APP0
                     "\xFF\xDB\x00\x43\x00",                                        // quantisation table
                     25);
    for (int i = 1; i <= 64; ++i) {
        jpeg.push_back(static_cast<char>(i));
    }
    jpeg.append("\xFF\xD9", 2); // end of image
    return jpeg;
}

TEST(ScriptText, AScriptHasNoNulAndACommandLineOrNothingButBlanks) {
    struct Case {
        std::string bytes;
        bool script;
        const char* what;
    };
    const std::vector<Case> cases = {
        {"", true, "an empty file is an empty script"},
        {"\r\n\r\n", true, "blank lines"},
        {" \t\r\n\n   \r\n", true, "lines of blanks"},
        {"\xEF\xBB\xBF", true, "a byte-order mark alone"},
        {"1|Supprimer les [n=3] premiers caract\xE8res\r\n", true, "a script line"},
        {"   14|Ajouter [Chaine=x] au d\xE9"
         "but",
         true, "blanks before the number"},
        {"\t7|", true, "a tab before the number, nothing after the bar"},
        {"\xEF\xBB\xBF"
         "14|Ajouter [Chaine=\xE2\x82\xAC] au d\xC3\xA9"
         "but\n",
         true, "UTF-8 with a mark"},
        {"notes\r\n\r\n20|Ajouter [Num\xE9ro=1] \xE0 la fin\r\nfin\r\n", true,
         "odd lines around a script line"},
        {"hello\nworld\n", false, "a text of another kind"},
        {"|x\r\n", false, "a bar without a number"},
        {"a1|x\r\n", false, "a letter before the number"},
        {"12\r\n", false, "a number without a bar"},
        {"-3|x\r\n", false, "a sign is not a digit"},
        {"x", false, "one character"},
        {std::string("1|x\r\n\0", 6), false, "a NUL after a script line"},
        {std::string("\0"
                     "1|x\r\n",
                     6),
         false, "a NUL first"},
        {std::string("\r\n\0", 3), false, "a NUL after a blank line"},
        {JpegBytes(), false, "a JPEG photo"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsScriptText(c.bytes), c.script) << c.what;
    }
}

TEST(ScriptFiles, OnlyAScriptIsReadWhenScriptsOnlyAreAsked) {
    test::TempDir dir;
    const std::string photo = dir.Write("photo.jpg", JpegBytes());
    const std::string binary = dir.Write("programme", std::string("\0ELF\x02\x01\x01", 7) + "1|x\r\n");
    const std::string text = dir.Write("lisez-moi.txt", "Bonjour,\r\nvoici les photos.\r\n");
    const std::string empty = dir.Write("vide.script", "");
    const std::string blank = dir.Write("blanc.script", "\r\n  \r\n");
    const std::string odd = dir.Write("essai.script", "# renommer les photos\r\n"
                                                      "14|Ajouter [Chaine=x_] au d\xE9"
                                                      "but\r\n"
                                                      "ligne perdue\r\n");
    for (const std::string& path : {photo, binary, text}) {
        try {
            (void)ReadScriptFile(path, ScriptReading::ScriptsOnly);
            ADD_FAILURE() << path << " was read";
        } catch (const ScriptFileError& e) {
            EXPECT_EQ(e.kind(), ScriptFileError::Kind::NotAScript);
            EXPECT_EQ(std::string(e.what()), "Le fichier " + path + " n'est pas un script");
        }
        // Read as any file, as quorvel-cli and the unattended run do: the text up to the first NUL.
        EXPECT_NO_THROW((void)ReadScriptFile(path)) << path;
    }
    EXPECT_EQ(ReadScriptFile(binary), ScriptLines{});
    EXPECT_EQ(ReadScriptFile(empty, ScriptReading::ScriptsOnly), ScriptLines{});
    EXPECT_EQ(ReadScriptFile(blank, ScriptReading::ScriptsOnly), (ScriptLines{T(""), T("  ")}));
    EXPECT_EQ(
        ReadScriptFile(odd, ScriptReading::ScriptsOnly),
        (ScriptLines{T("# renommer les photos"), T("14|Ajouter [Chaine=x_] au début"), T("ligne perdue")}));
    // What is not a regular file keeps its own refusal.
    EXPECT_EQ(ReadError(dir.path()).first, ScriptFileError::Kind::Folder);
    EXPECT_THROW((void)ReadScriptFile(dir / "absent.script", ScriptReading::ScriptsOnly), ScriptFileError);
}

} // namespace
} // namespace quorvel
