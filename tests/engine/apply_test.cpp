#include "engine/apply.hpp"
#include "engine/compiled_script.hpp"
#include "engine/errors.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quorvel {
namespace {

using test::T;
using test::U8;

// The new names of `names` taken as one selection, in order, as a preview does. The
// compiled script gives the same names, counter and errors as the line-by-line one.
std::vector<std::string> Rename(const std::vector<std::string>& lines,
                                const std::vector<std::string>& names) {
    ScriptLines script;
    for (const auto& line : lines) {
        script.push_back(T(line));
    }
    const CompiledScript compiled(script);
    NumberCounter counter = 0;
    NumberCounter compiledCounter = 0;
    std::vector<std::string> out;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string compiledName;
        std::string compiledError;
        try {
            compiledName = U8(compiled.Apply(T(names[i]), i == 0, compiledCounter));
        } catch (const EngineError& e) {
            compiledError = e.what();
        }
        try {
            out.push_back(U8(ApplyScript(script, T(names[i]), i == 0, counter)));
        } catch (const EngineError& e) {
            EXPECT_EQ(compiledError, e.what());
            throw;
        }
        EXPECT_EQ(compiledError, "");
        EXPECT_EQ(compiledName, out.back());
        EXPECT_EQ(compiledCounter, counter);
    }
    return out;
}

std::string RenameOne(const std::string& line, const std::string& name) {
    return Rename({line}, {name})[0];
}

struct Case {
    const char* line;
    const char* name;
    const char* expected;
};

void Check(const std::vector<Case>& cases) {
    for (const auto& c : cases) {
        EXPECT_EQ(RenameOne(c.line, c.name), c.expected) << c.line << " on " << c.name;
    }
}

TEST(Engine, DeleteCommands) {
    Check({
        {"1|Supprimer les [n=2] premiers caractères", "abcdef.txt", "cdef.txt"},
        {"1|Supprimer les [n=0] premiers caractères", "abcdef.txt", "abcdef.txt"},
        {"1|Supprimer les [n=10] premiers caractères", "abcdef.txt", ""},
        {"1|Supprimer les [n=-1] premiers caractères", "abcdef.txt", ""},
        {"1|Supprimer les [n=-2] premiers caractères", "abcdef.txt", "abcdef.txt"},
        {"1|Supprimer les [n=2147483647] premiers caractères", "abcdef.txt", ""},
        {"2|Supprimer les [n=2] derniers caratères", "abcdef.txt", "abcd.txt"},
        {"2|Supprimer les [n=0] derniers caratères", "abcdef.txt", "abcdef.txt"},
        {"2|Supprimer les [n=6] derniers caratères", "abcdef.txt", ".txt"},
        {"2|Supprimer les [n=9] derniers caratères", "abcdef.txt", ".txt"},
        {"2|Supprimer les [n=-2] derniers caratères", "abcdef.txt", "ab.txt"},
        {"3|Supprimer du [nième=2] au [mième=4] caractères", "abcdef.txt", "aef.txt"},
        {"3|Supprimer du [nième=4] au [mième=2] caractères", "abcdef", "abccdef"},
        {"3|Supprimer du [nième=4] au [mième=2] caractères", "abcdef.txt", "abccdef.txt"},
        {"3|Supprimer du [nième=0] au [mième=99] caractères", "abcdef.txt", ""},
        {"3|Supprimer du [nième=-2147483648] au [mième=2147483647] caractères", "abc", ""},
        {"4|Supprimer tout ce qu'il y a avant [Chaine=_]", "IMG_0042_v2.jpg", "0042"},
        {"4|Supprimer tout ce qu'il y a avant [Chaine=img]", "IMG_0042.jpg", "_0042.jpg"},
        {"4|Supprimer tout ce qu'il y a avant [Chaine=x]", "IMG_0042.jpg", ""},
        {"4|Supprimer tout ce qu'il y a avant [Chaine=]", "IMG_0042.jpg", ""},
        {"4|Supprimer tout ce qu'il y a avant [Chaine=-]", "a-b-c.txt", "b"},
        {"5|Supprimer tout ce qu'il y a après [Chaine=_]", "IMG_0042.jpg", "IMG.jpg"},
        {"5|Supprimer tout ce qu'il y a après [Chaine=x]", "IMG_0042.jpg", "IMG_0042.jpg"},
        {"5|Supprimer tout ce qu'il y a après [Chaine=.]", "a.b.txt", "a.txt"},
        {"5|Supprimer tout ce qu'il y a après [Chaine=]", "a.b.txt", "a.b.txt"},
        {"5|Supprimer tout ce qu'il y a après [Chaine=t]", "a.b.txt", "a.b.txt"},
        {"6|Supprimer toutes les occurences de [Chaine=.]", "a.b.txt", "abtxt"},
        {"6|Supprimer toutes les occurences de [Chaine=PHOTO]", "Photo photo.jpg", " .jpg"},
        {"7|Supprimer tous les espaces", "my file .txt", "myfile.txt"},
        {"8|Supprimer tous les accents", "élève.txt", "eleve.txt"},
    });
}

TEST(Engine, ReplaceCommands) {
    Check({
        {"10|Remplacer [Chaine1=photo] par [Chaine2=img]", "Photo-photo.JPG", "img-img.JPG"},
        {"10|Remplacer [Chaine1=] par [Chaine2=img]", "abc", "abc"},
        {"10|Remplacer [Chaine1=a] par [Chaine2=aa]", "aaa", "aaaaaa"},
        // Values are decoded: any character can be searched for and put in.
        {"10|Remplacer [Chaine1=a%3Db] par [Chaine2=%5Bx%5D]", "a=b.txt", "[x].txt"},
        {"10|Remplacer [Chaine1=%] par [Chaine2=%7C%25]", "100%.txt", "100|%.txt"},
        {"11|Remplacer tout par [Chaine=x]", "abcdef.txt", "x"},
        {"11|Remplacer tout par [Chaine=]", "abcdef.txt", ""},
        {"12|Remplacer l'extention par [Extension=jpg]", "photo.jpeg", "photo.jpg"},
        {"12|Remplacer l'extention par [Extension=.jpg]", "photo.jpeg", "photo.jpg"},
        {"12|Remplacer l'extention par [Extension=]", "photo.jpeg", "photo."},
        {"12|Remplacer l'extention par [Extension=txt]", "README", "README.txt"},
        {"12|Remplacer l'extention par [Extension=tar.gz]", "archive.tar", "archivetar.gz"},
        {"12|Remplacer l'extention par [Extension=txt]", ".profile", ".txt"},
    });
}

TEST(Engine, AddCommands) {
    Check({
        {"14|Ajouter [Chaine=new_] au début", "abcdef.txt", "new_abcdef.txt"},
        {"15|Ajouter [Chaine=_old] à la fin", "abcdef.txt", "abcdef_old.txt"},
        {"15|Ajouter [Chaine=_old] à la fin", "README", "README_old"},
        {"16|Ajouter [Chaine=-] à la [nième=2] postion", "abcdef.txt", "a-bcdef.txt"},
        {"16|Ajouter [Chaine=-] à la [nième=0] postion", "abcdef.txt", "-abcdef.txt"},
        {"16|Ajouter [Chaine=-] à la [nième=99] postion", "abcdef.txt", "abcdef.txt-"},
        {"16|Ajouter [Chaine=-] à la [nième=2147483647] postion", "abc", "abc-"},
        {"17|Ajouter [Chaine=+] avant [Chaine2=-]", "a-b-c.txt", "a+-b-c.txt"},
        {"17|Ajouter [Chaine=+] avant [Chaine2=B]", "a-b-c.txt", "a-b-c.txt"},
        {"17|Ajouter [Chaine=+] avant [Chaine2=]", "a-b-c.txt", "a-b-c.txt"},
        {"18|Ajouter [Chaine=+] après [Chaine2=-]", "a-b-c.txt", "a-+b-c.txt"},
    });
}

TEST(Engine, NumberingSharesOneCounterAcrossFilesAndLines) {
    const std::vector<std::string> abc = {"a.txt", "b.txt", "c.txt"};
    EXPECT_EQ(Rename({"19|Ajouter [Numéro=001] au début"}, abc),
              (std::vector<std::string>{"001a.txt", "002b.txt", "003c.txt"}));
    EXPECT_EQ(Rename({"20|Ajouter [Numéro=9] à la fin"}, abc),
              (std::vector<std::string>{"a9.txt", "b10.txt", "c11.txt"}));
    EXPECT_EQ(Rename({"21|Ajouter [Numéro=1] avant [Chaine=-]"}, {"x-y.txt", "none.txt", "p-q.txt"}),
              (std::vector<std::string>{"x1-y.txt", "none.txt", "p3-q.txt"}));
    EXPECT_EQ(Rename({"22|Ajouter [Numéro=10] après [Chaine=-]"}, {"x-y.txt", "p-q.txt"}),
              (std::vector<std::string>{"x-10y.txt", "p-11q.txt"}));
    EXPECT_EQ(Rename({"19|Ajouter [Numéro=1] au début", "20|Ajouter [Numéro=100] à la fin"}, abc),
              (std::vector<std::string>{"1a100.txt", "101b102.txt", "103c104.txt"}));
    // Hexadecimal start values; the width is the length of the text as typed.
    EXPECT_EQ(Rename({"19|Ajouter [Numéro=$10] au début"}, {"a", "b"}),
              (std::vector<std::string>{"016a", "017b"}));
    EXPECT_EQ(Rename({"19|Ajouter [Numéro= 7] au début"}, {"a", "b"}),
              (std::vector<std::string>{"07a", "08b"}));
    EXPECT_EQ(Rename({"19|Ajouter [Numéro=-2] au début"}, {"a", "b", "c"}),
              (std::vector<std::string>{"-2a", "-1b", "00c"}));
    // The counter wraps like a 32-bit integer.
    EXPECT_EQ(Rename({"19|Ajouter [Numéro=2147483647] au début"}, {"a", "b"}),
              (std::vector<std::string>{"2147483647a", "-2147483648b"}));
}

TEST(Engine, StartValueThatIsNotAnIntegerStopsTheFirstFile) {
    for (const char* value : {"a1", "", "5 ", "1,5", "2147483648", "-2147483649", "$80000000", "$FFFFFFFF",
                              "0x", "+", "-$1", "1.0", "99999999999999999999"}) {
        const std::string line = std::string("19|Ajouter [Numéro=") + value + "] au début";
        try {
            (void)Rename({line}, {"a.txt"});
            ADD_FAILURE() << "no error for '" << value << "'";
        } catch (const ConversionError& e) {
            EXPECT_EQ(std::string(e.what()),
                      std::string("'") + value + "' n'est pas une valeur entière correcte");
            EXPECT_EQ(U8(e.value()), value);
        }
    }
    // For later files the value is not read and cannot fail.
    ScriptLines script = {T("19|Ajouter [Numéro=a1] au début")};
    NumberCounter counter = 41;
    EXPECT_EQ(U8(ApplyScript(script, U"x", false, counter)), "42x");
}

TEST(Engine, StrictConversionAcceptsTheIntegerForms) {
    struct IntCase {
        const char* s;
        std::int32_t v;
    };
    for (const IntCase& c : std::vector<IntCase>{{"0", 0},
                                                 {"+5", 5},
                                                 {"-5", -5},
                                                 {"   12", 12},
                                                 {"$ff", 255},
                                                 {"xFF", 255},
                                                 {"X10", 16},
                                                 {"0x7FFFFFFF", 2147483647},
                                                 {"0X1a", 26},
                                                 {"-2147483648", -2147483647 - 1},
                                                 {"2147483647", 2147483647},
                                                 {"0000000000000000000001", 1}}) {
        EXPECT_EQ(StrictStrToInt(T(c.s)), std::optional<std::int32_t>(c.v)) << c.s;
    }
}

TEST(Engine, MoveCommands) {
    Check({
        {"24|Déplacer Les [n=2] premiers caractères à la fin", "abcdef.txt", "cdefab.txt"},
        {"24|Déplacer Les [n=4] premiers caractères à la fin", "ab.txt", "xtab.t"},
        {"24|Déplacer Les [n=0] premiers caractères à la fin", "abcdef.txt", "abcdef.txt"},
        {"25|Déplacer Les [n=2] premiers caractères à la position [nième=3]", "abcdef.txt", "cdabef.txt"},
        {"26|Déplacer Les [n=2] derniers caractères au debut", "abcdef.txt", "efabcd.txt"},
        {"26|Déplacer Les [n=0] derniers caractères au debut", "abcdef.txt", "abcdef.txt"},
        {"26|Déplacer Les [n=6] derniers caractères au debut", "abcdef.txt", "abcdef.txt"},
        {"27|Déplacer Les [n=2] derniers caractères à la position [nième=3]", "abcdef.txt", "abefcd.txt"},
        {"27|Déplacer Les [n=2] derniers caractères à la position [nième=1]", "abcdef.txt", "efabcd.txt"},
        {"28|Déplacer Les [n=2] caractères de la position [nième=2] à [mième=6]", "abcdefgh.txt",
         "adefbcgh.txt"},
        {"28|Déplacer Les [n=2] caractères de la position [nième=5] à [mième=1]", "abcdefgh.txt",
         "efabcdgh.txt"},
        {"28|Déplacer Les [n=2] caractères de la position [nième=0] à [mième=3]", "abcd.txt", "abcabd.txt"},
        {"28|Déplacer Les [n=2] caractères de la position [nième=9] à [mième=1]", "abcd.txt", "abcd.txt"},
    });
}

// Stray bytes (\xE9 alone is not UTF-8) are kept as they are and cut words.
TEST(Engine, ConvertCommands) {
    const char* lower = "30|Convertir tout en minuscules";
    const char* upper = "31|Convertir tout en majuscules";
    const char* title = "32|Convertir la première lettre de chaque mot en majuscule";
    const char* lowerExt = "33|Convertir l'extension en minuscules";
    const char* upperExt = "34|Convertir l'extension en majuscules";
    const char* compose = "35|Convertir les accents en forme composée (NFC)";
    Check({
        {lower, "IMG_0001.JPG", "img_0001.jpg"},
        {lower, "GROẞE STRASSE.TXT", "große strasse.txt"},
        {lower, "ΟΔΟΣ ΣΑΣ.TXT", "οδος σας.txt"},
        {lower, "İSTANBUL", "i\u0307stanbul"},
        {lower, "ǄEMAL ǅ", "ǆemal ǆ"},
        {lower, "E\u0301TE\u0301.JPG", "e\u0301te\u0301.jpg"},
        {lower, "CAF\xC9 \xFF.JPG", "caf\xC9 \xFF.jpg"},
        {upper, "straße.jpg", "STRASSE.JPG"},
        {upper, "ǆemal ǅ ıi ﬁ", "ǄEMAL Ǆ II FI"},
        {upper, "caf\xE9 \xE9t\xE9.txt", "CAF\xE9 \xE9T\xE9.TXT"},
        {title, "l'été à paris-nord 2pac.JPG", "L'Été À Paris-Nord 2pac.JPG"},
        {title, "IMG_0001 DE ßERLIN.JPG", "Img_0001 De Sserlin.JPG"},
        {title, "ǆemal ǄEMAL ΟΔΟΣ ΑΣ.txt", "ǅemal ǅemal Οδος Ας.txt"},
        {title, "e\u0301TE \u0301ABC İSTANBUL", "E\u0301te \u0301abc İstanbul"},
        {title, "caf\xE9 cr\xE8me.txt", "Caf\xE9 Cr\xE8Me.txt"},
        {title, "a.b.txt", "A.B.txt"},
        {title, "name.", "Name."},
        {title, ".profile", ".profile"},
        {lowerExt, "IMG_0001.JPG", "IMG_0001.jpg"},
        {lowerExt, "A.B.TXT", "A.B.txt"},
        {lowerExt, ".PROFILE", ".profile"},
        {lowerExt, "NAME.", "NAME."},
        {lowerExt, "README", "README"},
        {lowerExt, "X.ẞ\xC9", "X.ß\xC9"},
        {upperExt, "archive.tar.gz", "archive.tar.GZ"},
        {upperExt, ".bashrc", ".BASHRC"},
        {upperExt, "straße.straße", "straße.STRASSE"},
        {compose, "e\u0301te\u0301 A\u030A \u212B.txt", "été Å Å.txt"},
        {compose, "\u1100\u1161.txt", "가.txt"},
        {compose, "e\xFF\u0301 été.txt", "e\xFF\u0301 été.txt"},
    });
    // A name that grows past the limit fails as with any other command.
    EXPECT_EQ(RenameOne(upper, std::string(30'000, 'x') + "ßß").size(), 30'004U);
    std::string longName;
    for (int i = 0; i < 40'000; ++i) {
        longName += "ß";
    }
    EXPECT_THROW((void)RenameOne(upper, longName), NameTooLongError);
}

TEST(Engine, LinesApplyInOrderAndUnknownNumbersDoNothing) {
    EXPECT_EQ(Rename({"1|Supprimer les [n=1] premiers caractères", "14|Ajouter [Chaine=x] au début"},
                     {"abc.txt"})[0],
              "xbc.txt");
    for (const char* line : {"9|Remplacer", "13|Ajouter [Chaine=x]", "23|Déplacer", "39|Composer", "0|x",
                             "43|y", "-1|z", "abc", ""}) {
        EXPECT_EQ(RenameOne(line, "abcdef.txt"), "abcdef.txt") << line;
    }
    // The same line text in another language does the same.
    EXPECT_EQ(RenameOne("4|Delete everything before [String=_]", "IMG_0042_v2.jpg"), "0042");
}

TEST(Engine, KeepsNamesThatAreNotValidUtf8ByteForByte) {
    ScriptLines script = {T("14|Ajouter [Chaine=new_] au début"),
                          T("12|Remplacer l'extention par [Extension=jpg]")};
    NumberCounter counter = 0;
    const std::string bytes = "\xE9t\xE9\xFF.JPG";
    EXPECT_EQ(EncodeName(ApplyScript(script, DecodeName(bytes), true, counter)), "new_\xE9t\xE9\xFF.jpg");
}

TEST(Engine, RunawayGrowthIsStoppedInsteadOfExhaustingMemory) {
    ScriptLines script(40, T("10|Remplacer [Chaine1=a] par [Chaine2=aa]"));
    NumberCounter counter = 0;
    EXPECT_THROW((void)ApplyScript(script, U"a", true, counter), NameTooLongError);
    EXPECT_THROW((void)CompiledScript(script).Apply(U"a", true, counter), NameTooLongError);
    ScriptLines modest(10, T("10|Remplacer [Chaine1=a] par [Chaine2=aa]"));
    EXPECT_EQ(ApplyScript(modest, U"a", true, counter).size(), 1024U);
}

} // namespace
} // namespace quorvel
