#include "editor/trace_html.hpp"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(TraceHtml, HighlightsWhatEachLineChangedAndMarksWhatItOnlyTookOut) {
    const NameTrace trace{QStringLiteral("c.txt"),
                          {{QStringLiteral("x_c.txt"), 0, 2, false},
                           {QStringLiteral("x_c7.txt"), 3, 1, false},
                           {QStringLiteral("_c7.txt"), 0, 0, true},
                           {QStringLiteral("_c7.txt"), 0, 0, false}},
                          {}};
    EXPECT_EQ(TraceHtml(trace).toStdString(),
              "<p style=\"white-space:pre\">c.txt"
              "<br>1. <span style=\"background-color:#ffe08a\">x_</span>c.txt"
              "<br>2. x_c<span style=\"background-color:#ffe08a\">7</span>.txt"
              "<br>3. <span style=\"color:#c00000\">|</span>_c7.txt"
              "<br>4. _c7.txt</p>");
}

// Under a "Composer" line, where each fact it wrote came from, escaped.
TEST(TraceHtml, SaysWhereTheFactsOfALineCameFrom) {
    const NameTrace trace{
        QStringLiteral("a.jpg"),
        {{QStringLiteral("2024_a.jpg"),
          0,
          5,
          false,
          {QStringLiteral("{taken} <- DateTimeOriginal 2024:07:14"), QStringLiteral("{make} <- <Make>")}},
         {QStringLiteral("2024_a.JPG"), 7, 3, false}},
        {}};
    EXPECT_EQ(TraceHtml(trace).toStdString(),
              "<p style=\"white-space:pre\">a.jpg"
              "<br>1. <span style=\"background-color:#ffe08a\">2024_</span>a.jpg"
              "<br>    {taken} &lt;- DateTimeOriginal 2024:07:14"
              "<br>    {make} &lt;- &lt;Make&gt;"
              "<br>2. 2024_a.<span style=\"background-color:#ffe08a\">JPG</span></p>");
}

TEST(TraceHtml, EscapesNamesAndErrorsAndKeepsToTheName) {
    const NameTrace names{QStringLiteral("<a&b>"), {{QStringLiteral("<a&b>\""), 5, 1, false}}, {}};
    EXPECT_EQ(TraceHtml(names).toStdString(),
              "<p style=\"white-space:pre\">&lt;a&amp;b&gt;"
              "<br>1. &lt;a&amp;b&gt;<span style=\"background-color:#ffe08a\">&quot;</span></p>");
    // A change said to lie past the end of the name highlights nothing.
    const NameTrace past{QStringLiteral("ab"), {{QStringLiteral("ab"), 7, 3, false}}, {}};
    EXPECT_EQ(TraceHtml(past).toStdString(), "<p style=\"white-space:pre\">ab<br>1. ab</p>");
    const NameTrace failed{{}, {}, QStringLiteral("'a1' n'est pas <entier>")};
    EXPECT_EQ(TraceHtml(failed).toStdString(), "'a1' n'est pas &lt;entier&gt;");
}

} // namespace
} // namespace quorvel
