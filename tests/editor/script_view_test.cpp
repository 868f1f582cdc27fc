// The script view on a real script document: what it shows, the clicks and drops
// it reports, and the selection of a placeholder.
#include "editor/command_tree.hpp"
#include "editor/script_document.hpp"
#include "editor/script_view.hpp"
#include "support/text.hpp"

#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
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
