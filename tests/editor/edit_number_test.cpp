#include "editor/edit_number.hpp"

#include <QTest>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

// Types `keys` one by one into a fresh box and returns what it holds.
QString Typed(const QString& keys, QChar separator, bool entier = false) {
    TEditNumber box;
    box.SetEntier(entier);
    box.SetDecimalSeparator(separator);
    QTest::keyClicks(&box, keys);
    return box.text();
}

TEST(EditNumber, DecimalModeFiltersAsTheUserTypes) {
    struct Case {
        const char* keys;
        char separator;
        const char* text;
    };
    const Case cases[] = {
        {"1.5", ',', "1,5"}, {"1,5", '.', "1.5"}, {"1.5.", ',', "1,5"},  {"1.5,", ',', "1,5"},
        {"e", ',', ""},      {"2e", ',', "2e"},   {"2e+", ',', "2e+"},   {"2e-", ',', "2e-"},
        {"2+", ',', "2"},    {"2ee", ',', "2e"},  {"2E5", ',', "2E5"},   {"2e+e", ',', "2e+"},
        {"-3", ',', "-3"},   {"3-", ',', "3"},    {"abc12x", ',', "12"}, {"+1", ',', "1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Typed(QString::fromUtf8(c.keys), QLatin1Char(c.separator)).toStdString(), c.text) << c.keys;
    }
}

TEST(EditNumber, IntegerModeTakesDigitsAndALeadingMinus) {
    EXPECT_EQ(Typed(QStringLiteral("-12.5e3"), QLatin1Char(','), true).toStdString(), "-1253");
    EXPECT_EQ(Typed(QStringLiteral("4-2"), QLatin1Char(','), true).toStdString(), "42");
}

TEST(EditNumber, MinusIsAcceptedAtTheStartEvenBeforeText) {
    TEditNumber box;
    box.SetDecimalSeparator(QLatin1Char(','));
    box.setText(QStringLiteral("5"));
    box.setCursorPosition(0);
    QTest::keyClick(&box, Qt::Key_Minus);
    EXPECT_EQ(box.text().toStdString(), "-5");
    QTest::keyClick(&box, Qt::Key_Backspace); // Backspace passes
    EXPECT_EQ(box.text().toStdString(), "5");
}

TEST(EditNumber, ValueReadsTheTextWithTheSeparator) {
    TEditNumber box;
    box.SetDecimalSeparator(QLatin1Char(','));
    EXPECT_EQ(box.Value(), 0.0);
    box.setText(QStringLiteral("1,5"));
    EXPECT_EQ(box.Value(), 1.5);
    box.SetEntier(true);
    box.setText(QStringLiteral("7"));
    EXPECT_EQ(box.Value(), 7.0);
    box.setText(QStringLiteral("-7,9"));
    EXPECT_EQ(box.Value(), -7.0);
    box.setText(QStringLiteral("abc"));
    try {
        (void)box.Value();
        FAIL() << "no error";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "'abc' n'est pas une valeur en virgule flottante correcte");
    }
}

TEST(EditNumber, EnterReachesTheBox) {
    TEditNumber box;
    int returns = 0;
    QObject::connect(&box, &QLineEdit::returnPressed, [&] { ++returns; });
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_EQ(returns, 1);
}

} // namespace
} // namespace quorvel
