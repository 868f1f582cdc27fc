#include "editor/script_html.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::T;

std::string Html(const char* line, std::size_t index = 0) {
    return ScriptHtmlLine(ScriptLine(T(line)), index).toStdString();
}

TEST(ScriptHtml, TurnsEveryPlaceholderIntoALinkNamedAfterItsLine) {
    struct Case {
        const char* line;
        std::size_t index;
        const char* html;
    };
    const Case cases[] = {
        {"1|Supprimer les [n] premiers caractères", 0,
         R"(Supprimer les <a Name="0" href="file://[n]">n</a> premiers caractères<br>)"},
        {"1|Supprimer les [n=3] premiers caractères", 0,
         R"(Supprimer les <a Name="0" href="file://[n=3]">3</a> premiers caractères<br>)"},
        {"7|Supprimer tous les espaces", 2, "Supprimer tous les espaces<br>"},
        {"3|Supprimer du [nième=2] au [mième] caractères", 4,
         R"(Supprimer du <a Name="4" href="file://[nième=2]">2</a> au <a Name="4" href="file://[mième]">mième</a> caractères<br>)"},
        {"14|Ajouter [Chaine=ab=c] au début", 0,
         R"(Ajouter <a Name="0" href="file://[Chaine=ab=c]">a</a> au début<br>)"},
        {"14|Ajouter [Chaine=a|b] au début", 0, "Ajouter [Chaine=a<br>"},
        {"abc", 0, "<br>"},
        {"", 0, "<br>"},
        {"9|a [b", 0, "a [b<br>"},
        {"9|a ] [b]", 0, R"(a ] [b]<br>)"},
        // The same placeholder twice gives two links, each in its place.
        {"9|[n] et [n]", 1,
         R"(<a Name="1" href="file://[n]">n</a> et <a Name="1" href="file://[n]">n</a><br>)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Html(c.line, c.index), c.html) << c.line;
    }
}

TEST(ScriptHtml, EscapesMarkupAndKeepsEmptyValuesVisible) {
    EXPECT_EQ(
        Html("14|Ajouter [Chaine=<b>&\"] au <début>"),
        R"(Ajouter <a Name="0" href="file://[Chaine=&lt;b&gt;&amp;&quot;]">&lt;b&gt;&amp;&quot;</a> au &lt;début&gt;<br>)");
    EXPECT_EQ(
        Html("1|Supprimer les [n=] premiers"),
        R"(Supprimer les <a Name="0" href="file://[n=]"><i><font color="#808080">n</font></i></a> premiers<br>)");
}

TEST(ScriptHtml, PlaceholderSlotsPairTheKthBrackets) {
    const Text text = T("a [x] b [y=1] ] [z");
    const auto found = PlaceholderSlots(text);
    ASSERT_EQ(found.size(), 2U);
    EXPECT_EQ(test::U8(found[0].In(text)), "[x]");
    EXPECT_EQ(test::U8(found[1].In(text)), "[y=1]");
    EXPECT_EQ(test::U8(ShownText(U"[n]")), "n");
    EXPECT_EQ(test::U8(ShownText(U"[n=5]")), "5");
    EXPECT_EQ(test::U8(ShownText(U"[n=]")), "");
    EXPECT_EQ(LineTextOffset(U"12|x"), 3U);
    EXPECT_EQ(LineTextOffset(U"abc"), 3U);
}

TEST(ScriptHtml, OneLinePerScriptLine) {
    const QStringList lines = BuildHtmlLines(
        {ScriptLine(T("7|Supprimer tous les espaces")), ScriptLine(T("8|Supprimer tous les accents"))});
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[1].toStdString(), "Supprimer tous les accents<br>");
}

} // namespace
} // namespace quorvel
