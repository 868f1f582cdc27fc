#include "engine/errors.hpp"
#include "engine/script_file.hpp"
#include "support/temp_dir.hpp"
#include "support/text.hpp"

#include <chrono>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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

} // namespace
} // namespace quorvel
