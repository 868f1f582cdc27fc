// The script view on a real script document: what it shows, the clicks and drops
// it reports, and the selection of a placeholder.
#include "editor/command_tree.hpp"
#include "editor/script_document.hpp"
#include "editor/script_view.hpp"
#include "support/text.hpp"

#include <QApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QVBoxLayout>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace quorvel {
namespace {

using test::T;

struct ScriptViewTest : ::testing::Test {
    ScriptDocument script;
    TScriptView view;

    ScriptViewTest() {
        view.resize(600, 300);
        view.SetScript(&script);
        view.show();
    }

    // The point in the viewport of character `column` of block `line`.
    QPoint PointOf(int line, qsizetype column) const {
        QTextCursor cursor(view.document()->findBlockByNumber(line));
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::MoveAnchor, static_cast<int>(column));
        const QRect r = view.cursorRect(cursor);
        return {r.left() + 3, r.center().y()};
    }
};

TEST_F(ScriptViewTest, ShowsTheScriptAsItsLinesReadAndFollowsItsChanges) {
    EXPECT_TRUE(view.toPlainText().isEmpty());
    script.Load({T("16|Ajouter [Chaine] à la [nième=2] postion"), T("9|a ] [b]"),
                 T("1|Supprimer les [n=] premiers")});
    // "a ] [b]" holds no placeholder: its first "]" comes before its first "[".
    EXPECT_EQ(view.toPlainText(), "Ajouter Chaine à la 2 postion\na ] [b]\nSupprimer les n premiers");
    EXPECT_EQ(view.DocumentText(), script.HtmlLines().join("\r\n") + "\r\n");
    EXPECT_EQ(view.textCursor().position(), 0);

    script.Remove(0);
    EXPECT_EQ(view.toPlainText(), "a ] [b]\nSupprimer les n premiers");
    script.Clear();
    EXPECT_TRUE(view.toPlainText().isEmpty());
    EXPECT_TRUE(view.DocumentText().isEmpty());
}

TEST_F(ScriptViewTest, AClickOnALinkNamesItsLineAndPlaceholder) {
    script.Load({T("7|Supprimer tous les espaces"), T("16|Ajouter [Chaine=ab] à la [nième=2] postion")});
    QSignalSpy clicks(&view, &TScriptView::placeholderClicked);
    const QString shown = view.document()->findBlockByNumber(1).text();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, PointOf(1, shown.indexOf("2")));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, PointOf(1, shown.indexOf("ab")));
    ASSERT_EQ(clicks.count(), 2);
    EXPECT_EQ(clicks[0], QVariantList({1, 1}));
    EXPECT_EQ(clicks[1], QVariantList({1, 0}));

    // Plain text, and a selection dragged across a link, are no clicks.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, PointOf(0, 2));
    const QPoint from = PointOf(1, 1);
    QTest::mousePress(view.viewport(), Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(view.viewport(), PointOf(1, shown.indexOf("ab")));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::NoModifier, PointOf(1, shown.indexOf("ab")));
    EXPECT_EQ(clicks.count(), 2);

    view.SelectPlaceholder(1, 1);
    EXPECT_EQ(view.textCursor().selectedText(), "2");
    view.SelectPlaceholder(1, 0);
    EXPECT_EQ(view.textCursor().selectedText(), "ab");
    view.SelectPlaceholder(0, 0); // a line without placeholders: the selection stays
    view.SelectPlaceholder(5, 0);
    EXPECT_EQ(view.textCursor().selectedText(), "ab");
}

TEST_F(ScriptViewTest, TakesCommandsFromTheTreeAndNothingElse) {
    TCommandTree tree;
    QSignalSpy drops(&view, &TScriptView::commandDropped);
    const auto drop = [&](QMimeData* payload) {
        std::unique_ptr<QMimeData> owned(payload);
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, payload, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view.viewport(), &enter);
        QDropEvent event(QPointF(20, 20), Qt::CopyAction, payload, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view.viewport(), &event);
        return enter.isAccepted() && event.isAccepted();
    };
    const auto dragOf = [&](int number) {
        QTreeWidgetItem* node = tree.Node(number);
        const QModelIndex group = tree.model()->index(tree.indexOfTopLevelItem(node->parent()), 0);
        const QModelIndex index = node->parent() == nullptr
                                      ? tree.model()->index(tree.indexOfTopLevelItem(node), 0)
                                      : tree.model()->index(node->parent()->indexOfChild(node), 0, group);
        return tree.model()->mimeData({index});
    };
    EXPECT_TRUE(drop(dragOf(10)));
    EXPECT_FALSE(drop(dragOf(0))); // a group
    auto* text = new QMimeData;
    text->setText("1|Supprimer");
    EXPECT_FALSE(drop(text));
    auto* odd = new QMimeData;
    odd->setData(kCommandMimeType, "x");
    EXPECT_FALSE(drop(odd));
    ASSERT_EQ(drops.count(), 1);
    EXPECT_EQ(drops[0], QVariantList({10}));

    EXPECT_EQ(test::U8(tree.ScriptLineOf(10).value()), "10|Remplacer [Chaine1] par [Chaine2]");
    EXPECT_FALSE(tree.ScriptLineOf(0).has_value());
    EXPECT_FALSE(tree.ScriptLineOf(-1).has_value());
    EXPECT_FALSE(tree.ScriptLineOf(10000).has_value());
}

// The view between two other controls, as in a window, to see Tab come and go.
struct ScriptViewKeys : ::testing::Test {
    QWidget window;
    QLineEdit* before = new QLineEdit(&window);
    TScriptView* view = new TScriptView(&window);
    QLineEdit* after = new QLineEdit(&window);
    ScriptDocument script;

    ScriptViewKeys() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(before);
        layout->addWidget(view);
        layout->addWidget(after);
        window.resize(600, 400);
        view->SetScript(&script);
        script.Load({T("16|Ajouter [Chaine=ab] à la [nième] postion"), T("7|Supprimer tous les espaces"),
                     T("1|Supprimer les [n=3] premiers caractères")});
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // A key as the keyboard sends it: to the control that has the focus.
    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    std::optional<std::pair<int, int>> Focused() const { return view->FocusedPlaceholder(); }
    QString Selected() const { return view->textCursor().selectedText(); }

    // How many pixels of `colour` a column just left of the focused link holds.
    int FramePixels(const QColor& colour) const {
        const auto [line, slot] = *Focused();
        const QRect link = view->LinkRects(view->LinkIndex(line, slot)).front();
        const QImage image = view->viewport()->grab().toImage();
        int count = 0;
        for (int y = link.top(); y <= link.bottom(); ++y) {
            count += QColor(image.pixel(link.left() - 3, y)) == colour ? 1 : 0;
        }
        return count;
    }
};

TEST_F(ScriptViewKeys, TabMovesTheFocusOverTheLinksInOrderThenLeaves) {
    before->setFocus();
    Press(Qt::Key_Tab);
    ASSERT_TRUE(view->hasFocus());
    EXPECT_EQ(Focused(), std::pair(0, 0));
    EXPECT_EQ(Selected(), "ab");
    Press(Qt::Key_Tab);
    EXPECT_EQ(Focused(), std::pair(0, 1));
    EXPECT_EQ(Selected(), QStringLiteral("nième"));
    Press(Qt::Key_Tab); // the line without placeholders is passed over
    EXPECT_EQ(Focused(), std::pair(2, 0));
    EXPECT_EQ(Selected(), "3");
    Press(Qt::Key_Tab);
    EXPECT_TRUE(after->hasFocus());

    // Shift+Tab comes back on the last link and goes backwards, then out.
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_TRUE(view->hasFocus());
    EXPECT_EQ(Focused(), std::pair(2, 0));
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Focused(), std::pair(0, 1));
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(before->hasFocus());

    // An empty script: Tab goes through the view like any control.
    script.Clear();
    Press(Qt::Key_Tab);
    EXPECT_TRUE(view->hasFocus());
    EXPECT_FALSE(Focused().has_value());
    Press(Qt::Key_Tab);
    EXPECT_TRUE(after->hasFocus());
}

TEST_F(ScriptViewKeys, TheFocusedLinkIsFramedSoThatItStandsOutFromAnyPage) {
    const auto contrast = [](const QColor& a, const QColor& b) {
        const auto luminance = [](const QColor& c) {
            const auto channel = [](double v) {
                return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
        };
        const double x = luminance(a) + 0.05;
        const double y = luminance(b) + 0.05;
        return std::max(x, y) / std::min(x, y);
    };
    // The classic sky blue, a dark page, a mid grey where neither black nor white is obvious.
    for (const QColor page : {QColor(0xA6, 0xCA, 0xF0), QColor(0x20, 0x20, 0x28), QColor(0x77, 0x77, 0x77)}) {
        QPalette palette = view->palette();
        palette.setColor(QPalette::Base, page);
        view->setPalette(palette);
        view->FocusPlaceholder(0, 1);
        ASSERT_EQ(Focused(), std::pair(0, 1));
        const QColor frame = FocusFrameColour(page);
        EXPECT_GE(contrast(frame, page), 4.5) << page.name().toStdString();
        EXPECT_GE(FramePixels(frame), 10) << page.name().toStdString();
        // No frame once the keyboard is elsewhere.
        before->setFocus();
        EXPECT_EQ(FramePixels(frame), 0) << page.name().toStdString();
    }
}

TEST_F(ScriptViewKeys, EnterOrSpaceIsAClickOnTheFocusedLinkAndDeleteAsksForItsLine) {
    QSignalSpy clicks(view, &TScriptView::placeholderClicked);
    QSignalSpy removals(view, &TScriptView::lineRemovalRequested);
    QObject::connect(view, &TScriptView::lineRemovalRequested, &script,
                     [this](int line) { script.Remove(static_cast<std::size_t>(line)); });
    // Without a focused link the keys do nothing of the kind.
    view->setFocus();
    Press(Qt::Key_Return);
    Press(Qt::Key_Delete);
    EXPECT_EQ(clicks.count() + removals.count(), 0);

    view->FocusPlaceholder(0, 1);
    Press(Qt::Key_Return);
    Press(Qt::Key_Space);
    Press(Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_EQ(clicks.count(), 3);
    for (const QVariantList& click : clicks) {
        EXPECT_EQ(click, QVariantList({0, 1}));
    }
    // Delete: the line goes, and the focus is on the first link of the next line
    // that has one.
    Press(Qt::Key_Delete);
    ASSERT_EQ(removals.count(), 1);
    EXPECT_EQ(removals[0], QVariantList({0}));
    EXPECT_EQ(script.Count(), 2U);
    EXPECT_EQ(Focused(), std::pair(1, 0));
    EXPECT_EQ(Selected(), "3");
    Press(Qt::Key_Delete); // the last line: the focus goes back to what is left, nothing here
    EXPECT_EQ(script.Count(), 1U);
    EXPECT_FALSE(Focused().has_value());
}

TEST_F(ScriptViewKeys, TheFocusStaysOnItsLinkWhenTheScriptChanges) {
    view->FocusPlaceholder(2, 0);
    script.SetValue(2, 0, T("[n=3]"), T("5"));
    EXPECT_EQ(Focused(), std::pair(2, 0));
    EXPECT_EQ(Selected(), "5");
    script.Append(T("14|Ajouter [Chaine] au début"));
    EXPECT_EQ(Focused(), std::pair(2, 0));
    // A placeholder that is gone: the next link, else the last one.
    view->FocusPlaceholder(1, 0);
    EXPECT_EQ(Focused(), std::pair(2, 0));
    view->FocusPlaceholder(9, 0);
    EXPECT_EQ(Focused(), std::pair(3, 0));
    // Elsewhere, the keyboard leaves the view as it was drawn afresh.
    before->setFocus();
    script.Append(T("7|Supprimer tous les espaces"));
    EXPECT_FALSE(Focused().has_value());
}

TEST(ScriptView, KeepsWhatItShowsWhenItsScriptGoes) {
    auto script = std::make_unique<ScriptDocument>();
    TScriptView view;
    view.SetScript(script.get());
    script->Load({T("7|Supprimer tous les espaces")});
    script.reset();
    EXPECT_EQ(view.toPlainText(), "Supprimer tous les espaces");
    view.SelectPlaceholder(0, 0);
}

} // namespace
} // namespace quorvel
