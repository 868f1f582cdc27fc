// The "Composer" commands: templates of literal text and tokens, read once, and
// written for each file from its name, its folder, its place and its facts.
#include "engine/apply.hpp"
#include "engine/compiled_script.hpp"
#include "engine/date_format.hpp"
#include "engine/errors.hpp"
#include "engine/name_template.hpp"
#include "engine/script_file.hpp"
#include "engine/script_line.hpp"
#include "engine/value_code.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace quorvel {
namespace {

using test::T;
using test::U8;

// The line of command 40 (the name), 41 (at the start) or 42 (at the end) with
// `tpl` as typed.
Text Line(std::string_view tpl, int command = 40) {
    const char* caption = command == 40   ? "40|Composer le nom avec [Modèle="
                          : command == 41 ? "41|Composer [Modèle="
                                          : "42|Composer [Modèle=";
    const char* after = command == 40 ? "]" : command == 41 ? "] au début" : "] à la fin";
    return T(caption) + EncodeValue(T(tpl)) + T(after);
}

// The new name by both engines, which must agree, error included.
std::string Rename(const ScriptLines& script, std::string_view name, const FileContext& context = {}) {
    NumberCounter counter = 0;
    std::string compiledError;
    std::string compiled;
    try {
        compiled = U8(CompiledScript(script).Apply(T(name), true, counter, context));
    } catch (const EngineError& e) {
        compiledError = e.what();
    }
    try {
        const std::string result = U8(ApplyScript(script, T(name), true, counter, context));
        EXPECT_EQ(compiledError, "");
        EXPECT_EQ(compiled, result);
        return result;
    } catch (const EngineError& e) {
        EXPECT_EQ(compiledError, e.what());
        throw;
    }
}

std::string Compose(std::string_view tpl, std::string_view name, const FileContext& context = {}) {
    return Rename({Line(tpl)}, name, context);
}

// The field a file lacks, or nothing when its name is made.
std::optional<TemplateField> Missing(std::string_view tpl, std::string_view name,
                                     const FileContext& context = {}) {
    try {
        (void)Compose(tpl, name, context);
    } catch (const MissingValueError& e) {
        return e.field();
    }
    return std::nullopt;
}

LocalTime Moment(int year, int month, int day, int hour, int minute, int second, std::string sub = {},
                 std::optional<int> offset = std::nullopt) {
    LocalTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    t.subSeconds = std::move(sub);
    t.offsetMinutes = offset;
    return t;
}

// A photo of 14 July 2024 (a Sunday) and a song, with every fact.
FileFacts Photo() {
    FileFacts f;
    f.taken = Sourced<LocalTime>{Moment(2024, 7, 14, 15, 30, 12, "347", 120),
                                 "DateTimeOriginal 2024:07:14 15:30:12.347 +02:00"};
    f.modified = Sourced<LocalTime>{Moment(2025, 1, 5, 8, 9, 10), "mtime"};
    f.make = Sourced<std::string>{"Canon", "Make"};
    f.model = Sourced<std::string>{"EOS R6", "Model"};
    f.lens = Sourced<std::string>{"RF24-105mm F4 L", "LensModel"};
    f.width = Sourced<std::int64_t>{6000, "ImageWidth"};
    f.height = Sourced<std::int64_t>{4000, "ImageHeight"};
    f.artist = Sourced<std::string>{"AC/DC", "TPE1"};
    f.album = Sourced<std::string>{"Back in Black", "TALB"};
    f.title = Sourced<std::string>{"Hells Bells", "TIT2"};
    f.genre = Sourced<std::string>{"Rock", "TCON"};
    f.year = Sourced<std::int64_t>{1980, "TDRC"};
    f.track = Sourced<std::int64_t>{1, "TRCK"};
    f.disc = Sourced<std::int64_t>{2, "TPOS"};
    return f;
}

TEST(Composer, TemplatesAreReadOrRefusedWithWhereAndWhy) {
    for (const char* good :
         {"", "plain", "{name}", "{{name}}", "a}b", "{n}", "{n:001}", "{n:10:-5}", "{n:1:+2:folder}",
          "{taken}", "{taken,modified:%Y-%m-%d %H:%M:%S}", "{modified:%%%j%a%A%b%B%f%z%y}", "{track:2}",
          "{artist,album,title,genre,make,model,lens,name,folder}", "{width,height,year,track,disc:0}",
          "{n,n:5}", "{taken:{}"}) {
        EXPECT_EQ(NameTemplate(T(good)).Problem(), std::nullopt) << good;
    }
    struct Bad {
        const char* tpl;
        std::string_view what;
        const char* detail;
        Pos position;
    };
    const Bad bad[] = {
        {"ab{name", kTemplateUnclosedMessage, "", 3},
        {"{name}{", kTemplateUnclosedMessage, "", 7},
        {"x{}", kTemplateEmptyTokenMessage, "", 2},
        {"{taken,}", kTemplateEmptyTokenMessage, "", 8},
        {"{,taken}", kTemplateEmptyTokenMessage, "", 2},
        {"é{nom}", kTemplateUnknownTokenMessage, "nom", 3},
        {"{Name}", kTemplateUnknownTokenMessage, "Name", 2},
        {"{ name}", kTemplateUnknownTokenMessage, " name", 2},
        {"{taken,folder}", kTemplateMixedChainMessage, "taken,folder", 8},
        {"{artist,year}", kTemplateMixedChainMessage, "artist,year", 9},
        {"{n,name}", kTemplateMixedChainMessage, "n,name", 4},
        {"{make:x}", kTemplateNoParameterMessage, "make", 6},
        {"{name:}", kTemplateNoParameterMessage, "name", 6},
        {"{taken:}", kTemplateEmptyFormatMessage, "", 8},
        {"{taken:%Y-%q}", kTemplateUnknownFormatMessage, "%q", 11},
        {"{modified:%Y%}", kTemplateUnknownFormatMessage, "%", 13},
        {"{track:x}", kTemplateBadWidthMessage, "x", 8},
        {"{track:1000}", kTemplateBadWidthMessage, "1000", 8},
        {"{track:256}", kTemplateBadWidthMessage, "256", 8},
        {"{n:}", kTemplateBadNumberMessage, "", 4},
        {"{n:a1}", kTemplateBadNumberMessage, "a1", 4},
        {"{n:+1}", kTemplateBadNumberMessage, "+1", 4},
        {"{n:2147483648}", kTemplateBadNumberMessage, "2147483648", 4},
        {"{n:1:}", kTemplateBadNumberMessage, "", 6},
        {"{n:1:x:folder}", kTemplateBadNumberMessage, "x", 6},
        {"{n:1:1:dossier}", kTemplateBadCountOptionMessage, "dossier", 8},
        {"{n:1:1:folder:x}", kTemplateBadCountOptionMessage, "folder:x", 8},
    };
    for (const Bad& b : bad) {
        const auto problem = NameTemplate(T(b.tpl)).Problem();
        ASSERT_TRUE(problem.has_value()) << b.tpl;
        EXPECT_EQ(problem->what, b.what) << b.tpl;
        EXPECT_EQ(problem->detail, b.detail) << b.tpl;
        EXPECT_EQ(problem->position, b.position) << b.tpl;
    }

    // The script says so before its first name; the engine raises it at the line.
    const ScriptLines script = {U"7|Supprimer tous les espaces", Line("{n:1:1:dossier}", 42), Line("{x")};
    const auto problem = TemplateProblemOf(script);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->Message(), "option de numérotation inconnue « dossier »");
    EXPECT_EQ(CompiledScript(script).ProblemOfTemplates(), problem);
    EXPECT_EQ(PatternProblemOf(script), std::nullopt);
    try {
        (void)Rename(script, "a b.txt");
        ADD_FAILURE() << "a template that cannot be read was written";
    } catch (const InvalidTemplateError& e) {
        EXPECT_EQ(e.problem(), *problem);
        EXPECT_STREQ(e.what(),
                     "Modèle invalide : option de numérotation inconnue « dossier » à la position 8");
    }
    EXPECT_EQ(TemplateProblemOf({Line("{name}"), U"40|Composer le nom avec [Modèle]"}), std::nullopt);
}

TEST(Composer, TheThreeCommandsPutTheTemplateInPlaceOfBeforeOrAfterTheBase) {
    const FileContext context{.folder = U"Vacances", .place = 2};
    EXPECT_EQ(Rename({Line("{folder}_{n:01}", 40)}, "IMG_0042.JPG", context), "Vacances_03.JPG");
    EXPECT_EQ(Rename({Line("{folder}_{n:01}_", 41)}, "IMG_0042.JPG", context), "Vacances_03_IMG_0042.JPG");
    EXPECT_EQ(Rename({Line("_{folder}", 42)}, "IMG_0042.JPG", context), "IMG_0042_Vacances.JPG");
    // The base and the extension are split as the other commands split them, at this
    // line: {name} is the base the lines before left.
    EXPECT_EQ(Compose("[{name}]", "a.b.txt"), "[a.b].txt");
    EXPECT_EQ(Compose("{name}", "README"), "README");
    EXPECT_EQ(Rename({Line("x", 42)}, "README"), "READMEx");
    EXPECT_EQ(
        Rename({U"1|Supprimer les [n=4] premiers caractères", Line("{name}-{name}", 40)}, "IMG_0042.jpg"),
        "0042-0042.jpg");
    EXPECT_EQ(Rename({Line("{name}", 41)}, " a .txt"), " a  a .txt") << "the name is taken as it is";
    // A base that is empty is no name: ".profile" fails, alone.
    EXPECT_EQ(Missing("{name}", ".profile"), TemplateField::Name);
    EXPECT_EQ(Missing("{name}", "x.profile"), std::nullopt);
    // Braces: doubled they are one, alone "}" is itself.
    EXPECT_EQ(Compose("{{{name}}}", "a.txt"), "{a}.txt");
    EXPECT_EQ(Compose("}{{x}", "a.txt"), "}{x}.txt");
    EXPECT_EQ(Compose("", "a.txt"), ".txt");
}

TEST(Composer, EveryTokenWritesItsFactCleaned) {
    const FileFacts photo = Photo();
    const FileContext context{.facts = photo, .folder = U"Été 2024"};
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"{taken}", "20240714_153012"},
        {"{modified}", "20250105_080910"},
        {"{make} {model}", "Canon EOS R6"},
        {"{lens}", "RF24-105mm F4 L"},
        {"{width}x{height}", "6000x4000"},
        {"{artist} - {album} - {title}", "AC_DC - Back in Black - Hells Bells"},
        {"{genre} {year}", "Rock 1980"},
        {"{disc}-{track:2} {title}", "2-01 Hells Bells"},
        {"{track:0}{year:6}", "1001980"},
        {"{folder}", "Été 2024"},
    };
    for (const auto& [tpl, expected] : cases) {
        EXPECT_EQ(Compose(tpl, "x.mp3", context), std::string(expected) + ".mp3") << tpl;
    }

    // Spaces at either end go, control characters go, "/" becomes "_"; what is left
    // empty is missing.
    FileFacts messy;
    messy.artist = Sourced<std::string>{"  \tAC/DC\u00A0\n", "TPE1"};
    messy.title = Sourced<std::string>{"Back\x01 in\x7F\r\nBlack\u2028", "TIT2"};
    messy.album = Sourced<std::string>{" \u3000\t ", "TALB"};
    messy.genre = Sourced<std::string>{"", "TCON"};
    messy.make = Sourced<std::string>{"a\xFF/b", "Make"};
    const FileContext context2{.facts = messy, .folder = U" Dossier\n"};
    EXPECT_EQ(Compose("{artist}|{title}|{folder}", "x.mp3", context2), "AC_DC|Back inBlack|Dossier.mp3");
    EXPECT_EQ(Compose("{make}", "x.mp3", context2), "a\xFF_b.mp3") << "bytes that are not UTF-8 stay";
    EXPECT_EQ(Missing("{album}", "x.mp3", context2), TemplateField::Album);
    EXPECT_EQ(Missing("{genre}", "x.mp3", context2), TemplateField::Genre);
    EXPECT_EQ(Missing("{folder}", "x.mp3", FileContext{.folder = U" \t"}), TemplateField::Folder);

    // Numbers below 1 are no number; a moment that is no date is no date.
    FileFacts zero;
    zero.track = Sourced<std::int64_t>{0, "TRCK"};
    zero.width = Sourced<std::int64_t>{-3, "ImageWidth"};
    zero.taken = Sourced<LocalTime>{Moment(0, 0, 0, 0, 0, 0), "DateTimeOriginal 0000:00:00 00:00:00"};
    zero.modified = Sourced<LocalTime>{Moment(2023, 2, 29, 10, 0, 0), "bad"};
    const FileContext context3{.facts = zero};
    EXPECT_EQ(Missing("{track}", "a", context3), TemplateField::Track);
    EXPECT_EQ(Missing("{width}", "a", context3), TemplateField::Width);
    EXPECT_EQ(Missing("{taken}", "a", context3), TemplateField::Taken);
    EXPECT_EQ(Missing("{modified}", "a", context3), TemplateField::Modified);
    EXPECT_FALSE(IsDate(Moment(2024, 13, 1, 0, 0, 0)));
    EXPECT_FALSE(IsDate(Moment(2024, 4, 31, 0, 0, 0)));
    EXPECT_FALSE(IsDate(Moment(2024, 1, 1, 24, 0, 0)));
    EXPECT_FALSE(IsDate(Moment(10000, 1, 1, 0, 0, 0)));
    EXPECT_TRUE(IsDate(Moment(2024, 2, 29, 23, 59, 60)));
    EXPECT_TRUE(IsDate(Moment(2000, 2, 29, 0, 0, 0)));
    EXPECT_FALSE(IsDate(Moment(1900, 2, 29, 0, 0, 0)));
}

TEST(Composer, DatesAreWrittenInEitherLanguage) {
    FileFacts f;
    // 5 March 2024, a Tuesday, the 65th day of a leap year; weekday and day of the
    // year are worked out from the date, whatever the fields say.
    LocalTime t = Moment(2024, 3, 5, 7, 8, 9, "05", -330);
    t.weekday = 6;
    t.yearDay = 1;
    f.taken = Sourced<LocalTime>{t, "DateTimeOriginal"};
    f.modified = Sourced<LocalTime>{Moment(1999, 12, 31, 23, 59, 59), "mtime"};
    const FileContext french{.facts = f};
    const FileContext english{.facts = f, .dateNames = kEnglishDateNames};
    const char* all = "{taken:%Y %y %m %d %H %M %S %j %b %B %a %A %f %z %%}";
    EXPECT_EQ(Compose(all, "a.jpg", french), "2024 24 03 05 07 08 09 065 mars mars mar mardi 05 -0530 %.jpg");
    EXPECT_EQ(Compose(all, "a.jpg", english),
              "2024 24 03 05 07 08 09 065 Mar March Tue Tuesday 05 -0530 %.jpg");
    EXPECT_EQ(Compose("{modified:%a %d %b %Y, %A %d %B %j}", "a", french),
              "ven 31 déc 1999, vendredi 31 décembre 365");
    EXPECT_EQ(Compose("{modified:%a %d %b %Y, %A %d %B %j}", "a", english),
              "Fri 31 Dec 1999, Friday 31 December 365");
    // No fractions written: %f is 0; no offset known: %z writes nothing.
    EXPECT_EQ(Compose("{modified:%S.%f%z}", "a", french), "59.0");
    // The year 1 and the 29th of February.
    FileFacts early;
    early.taken = Sourced<LocalTime>{Moment(1, 1, 1, 0, 0, 0, "x1y2", 120), "t"};
    early.modified = Sourced<LocalTime>{Moment(2000, 2, 29, 12, 0, 0, {}, 0), "m"};
    const FileContext old{.facts = early};
    EXPECT_EQ(Compose("{taken:%Y-%y-%a-%f%z}", "a", old), "0001-01-lun-12+0200");
    EXPECT_EQ(Compose("{modified:%j %A %z}", "a", old), "060 mardi +0000");
    // What a format writes is cleaned like any value: "/" is "_", spaces at the ends go.
    EXPECT_EQ(Compose("{taken: %Y/%m }", "a", french), "2024_03");
    EXPECT_EQ(Missing("{taken:%z}", "a", FileContext{.facts = Photo()}), std::nullopt);
    FileFacts noOffset;
    noOffset.taken = Sourced<LocalTime>{Moment(2024, 1, 1, 0, 0, 0), "t"};
    EXPECT_EQ(Missing("{taken:%z}", "a", FileContext{.facts = noOffset}), TemplateField::Taken)
        << "a date that writes nothing is missing";
}

TEST(Composer, ChainsTakeTheFirstFieldThatHasAValue) {
    FileFacts f;
    f.modified = Sourced<LocalTime>{Moment(2023, 6, 1, 9, 0, 0), "mtime"};
    f.album = Sourced<std::string>{"Live", "TALB"};
    f.disc = Sourced<std::int64_t>{3, "TPOS"};
    const FileContext context{.facts = f, .folder = U"Musique"};
    EXPECT_EQ(Compose("{taken,modified:%Y%m%d}", "a.jpg", context), "20230601.jpg");
    EXPECT_EQ(Compose("{artist,album}", "a.mp3", context), "Live.mp3");
    EXPECT_EQ(Compose("{title,name}", "song.mp3", context), "song.mp3");
    EXPECT_EQ(Compose("{artist,folder}", "a.mp3", context), "Musique.mp3");
    EXPECT_EQ(Compose("{track,disc:2}", "a.mp3", context), "03.mp3");
    // With nothing to fall back on, the file fails with the first field of the chain.
    EXPECT_EQ(Missing("{artist,title}", "a.mp3", context), TemplateField::Artist);
    EXPECT_EQ(Missing("{taken,taken}", "a.mp3"), TemplateField::Taken);
    // The first that has a value wins, even when a later one has one too.
    const FileFacts photo = Photo();
    EXPECT_EQ(Compose("{modified,taken:%Y}", "a", FileContext{.facts = photo}), "2025");
}

TEST(Composer, NumberingIsThePlaceInTheRunAndKeepsNoCounter) {
    struct Case {
        const char* tpl;
        std::size_t place;
        std::size_t placeInFolder;
        const char* expected;
    };
    const Case cases[] = {
        {"{n}", 0, 0, "1"},
        {"{n}", 9, 0, "10"},
        {"{n:001}", 0, 0, "001"},
        {"{n:001}", 998, 0, "999"},
        {"{n:001}", 999, 0, "1000"},
        {"{n:0}", 4, 0, "4"},
        {"{n:10:5}", 2, 0, "20"},
        {"{n:10:-5}", 1, 0, "05"},
        {"{n:010:-5}", 3, 0, "-05"},
        {"{n:-1:-1}", 1, 0, "-2"},
        {"{n:-001}", 0, 0, "-001"},
        {"{n:-01}", 2, 0, "001"},
        {"{n:5:0}", 7, 0, "5"},
        {"{n:1:1:folder}", 7, 2, "3"},
        {"{n:01:+2:folder}", 7, 0, "01"},
        {"{n:2147483647:2147483647}", 3, 0, "8589934588"},
        {"{n:-2147483648:-2147483648}", 1, 0, "-4294967296"},
    };
    for (const Case& c : cases) {
        const FileContext context{.place = c.place, .placeInFolder = c.placeInFolder};
        EXPECT_EQ(Compose(c.tpl, "a", context), c.expected) << c.tpl << " at " << c.place;
    }
    // The numbering lines keep their counter; {n} neither reads nor moves it.
    const ScriptLines script = {U"20|Ajouter [Numéro=7] à la fin", Line("{n:1}_", 41)};
    const CompiledScript compiled(script);
    NumberCounter counter = 0;
    EXPECT_EQ(U8(compiled.Apply(U"a.txt", true, counter, FileContext{.place = 5})), "6_a7.txt");
    EXPECT_EQ(counter, 7);
    EXPECT_EQ(U8(compiled.Apply(U"b.txt", false, counter, FileContext{.place = 0})), "1_b8.txt");
    EXPECT_EQ(counter, 8);
    // Without a context, the file is the first of the run and has no folder.
    EXPECT_EQ(U8(CompiledScript({Line("{n:01}")}).Apply(U"a.txt", true, counter)), "01.txt");
    EXPECT_EQ(U8(ApplyScript({Line("{n:01}")}, U"a.txt", true, counter)), "01.txt");
    EXPECT_EQ(Missing("{folder}", "a.txt"), TemplateField::Folder);
}

TEST(Composer, AFileWithoutTheValueFailsAloneWithItsReason) {
    const FileFacts photo = Photo();
    const ScriptLines script = {Line("{taken:%Y%m%d}_{make}")};
    const CompiledScript compiled(script);
    NumberCounter counter = 0;
    EXPECT_EQ(U8(compiled.Apply(U"a.jpg", true, counter, FileContext{.facts = photo})), "20240714_Canon.jpg");
    FileFacts noMake = photo;
    noMake.make.reset();
    try {
        (void)compiled.Apply(U"b.jpg", false, counter, FileContext{.facts = noMake});
        ADD_FAILURE() << "a name was made without its value";
    } catch (const MissingValueError& e) {
        EXPECT_EQ(e.field(), TemplateField::Make);
        EXPECT_EQ(e.fact(), Fact::Make);
        EXPECT_STREQ(e.what(), "pas de marque d'appareil");
    }
    // The next file is named as if nothing had happened.
    EXPECT_EQ(U8(compiled.Apply(U"c.jpg", false, counter, FileContext{.facts = photo})),
              "20240714_Canon.jpg");
    // Every field has its reason, and the facts theirs.
    const std::pair<TemplateField, const char*> reasons[] = {
        {TemplateField::Name, "pas de nom"},
        {TemplateField::Folder, "pas de dossier"},
        {TemplateField::Taken, "pas de date de prise de vue"},
        {TemplateField::Modified, "pas de date de modification"},
        {TemplateField::Make, "pas de marque d'appareil"},
        {TemplateField::Model, "pas de modèle d'appareil"},
        {TemplateField::Lens, "pas d'objectif"},
        {TemplateField::Width, "pas de largeur"},
        {TemplateField::Height, "pas de hauteur"},
        {TemplateField::Artist, "pas d'artiste"},
        {TemplateField::Album, "pas d'album"},
        {TemplateField::Title, "pas de titre"},
        {TemplateField::Genre, "pas de genre"},
        {TemplateField::Year, "pas d'année"},
        {TemplateField::Track, "pas de numéro de piste"},
        {TemplateField::Disc, "pas de numéro de disque"},
    };
    for (const auto& [field, reason] : reasons) {
        EXPECT_STREQ(MissingValueError(field).what(), reason);
        const std::string tpl = "{" + U8(FieldToken(field)) + "}";
        EXPECT_EQ(Missing(tpl, ".x"), field) << tpl;
        EXPECT_EQ(FactOf(field).has_value(), field != TemplateField::Name && field != TemplateField::Folder);
    }
}

TEST(Composer, TheScriptSaysWhatItNeedsAndWhereItsValuesCameFrom) {
    const ScriptLines script = {Line("{taken,modified}_{n:1:1:folder}"), U"7|Supprimer tous les espaces",
                                Line("{artist,folder} {track:2}", 42), Line("{name}", 41)};
    const CompiledScript compiled(script);
    const ScriptNeeds needs = compiled.Needs();
    EXPECT_EQ(needs.facts, FactSet(Fact::Taken) | Fact::Modified | Fact::Artist | Fact::Track);
    EXPECT_TRUE(needs.folder);
    EXPECT_FALSE(needs.place);
    EXPECT_TRUE(needs.placeInFolder);
    EXPECT_EQ(compiled.NeededFacts(), needs.facts);
    EXPECT_TRUE(needs.facts.NeedsContent());
    EXPECT_EQ(NeedsOf(script), needs);
    EXPECT_EQ(NeedsOf({Line("{modified}{n}")}), (ScriptNeeds{Fact::Modified, false, true, false}));
    EXPECT_FALSE(NeedsOf({Line("{modified}")}).facts.NeedsContent());
    EXPECT_EQ(NeedsOf({U"7|Supprimer tous les espaces", Line("{name}")}), ScriptNeeds{});

    // The facts written, line after line, with their sources.
    const FileFacts photo = Photo();
    const FileContext context{.facts = photo, .folder = U"F"};
    NumberCounter counter = 0;
    Text out;
    const std::vector<ValueSource> used = compiled.SourcesUsed(U"a b.mp3", true, counter, context, out);
    EXPECT_EQ(U8(out), "20240714_153012_1AC_DC 0120240714_153012_1AC_DC 01.mp3");
    ASSERT_EQ(used.size(), 3u);
    EXPECT_EQ(SourceLine(used[0]), "{taken} <- DateTimeOriginal 2024:07:14 15:30:12.347 +02:00");
    EXPECT_EQ(SourceLine(used[1]), "{artist} <- TPE1");
    EXPECT_EQ(SourceLine(used[2]), "{track} <- TRCK");
    // The line by line form the trace uses: the fallback that served is named.
    FileFacts onlyModified;
    onlyModified.modified = photo.modified;
    EXPECT_EQ(SourcesOfLine(script[0], U"a.mp3", FileContext{.facts = onlyModified}),
              (std::vector<ValueSource>{{TemplateField::Modified, "mtime"}}));
    EXPECT_TRUE(SourcesOfLine(script[1], U"a.mp3", context).empty());
    EXPECT_TRUE(SourcesOfLine(script[3], U"a.mp3", context).empty()) << "the name is no fact";
}

TEST(Composer, ALineStoresItsTemplateEncodedAndReadsItBack) {
    // A template may hold any character: [ ] = | are stored as codes, a "%" of a
    // date format stays as it is.
    const std::string tpl = "[{taken:%Y-%m-%d}] a=b|c {n:001} 100%";
    const Text line = Line(tpl);
    EXPECT_EQ(U8(line), "40|Composer le nom avec [Modèle=%5B{taken:%Y-%m-%d}%5D a%3Db%7Cc {n:001} 100%]");
    EXPECT_TRUE(ScriptIsValid({line}));
    EXPECT_EQ(U8(ParamText(LineText(line), 1)), tpl);
    const ScriptLine read(line);
    EXPECT_EQ(read.KindOf(0), PlaceholderKind::Template);
    EXPECT_EQ(U8(read.Parameter(1)), tpl);
    EXPECT_EQ(U8(read.Shown(0)), tpl);
    const ScriptLine filled = ScriptLine(MakeScriptLine(41)).Filled(0, T("{n:1}|{name}"));
    EXPECT_EQ(U8(filled.Whole()), "41|Composer [Modèle={n:1}%7C{name}] au début");
    EXPECT_EQ(U8(filled.Parameter(1)), "{n:1}|{name}");
    const ScriptLines script = {line, filled.Whole(),
                                U"40|Composer le nom avec [Modèle={taken:%Y-%m-%d} {n:001}]"};
    EXPECT_EQ(ParseScriptText(FormatScriptText(script)), script);
    FileFacts f;
    f.taken = Sourced<LocalTime>{Moment(2024, 7, 14, 15, 30, 12), "t"};
    EXPECT_EQ(Rename({script[2]}, "IMG_1.JPG", FileContext{.facts = f, .place = 41}), "2024-07-14 042.JPG");
    EXPECT_EQ(Rename({line}, "x.jpg", FileContext{.facts = f}), "[2024-07-14] a=b|c 001 100%.jpg")
        << "the literal text is written as typed";
}

} // namespace
} // namespace quorvel
