// The list under "Exemple :" fed by the controller, as the window wires them: the
// names of a preview, their marks, and the way each name was made in its tooltip.
#include "browser/file_selection.hpp"
#include "editor/example_list.hpp"
#include "editor/script_document.hpp"
#include "engine/codec.hpp"
#include "shell/rename_controller.hpp"
#include "support/temp_dir.hpp"

#include <QHelpEvent>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

TEST(ExampleList, ShowsThePreviewItsMarksAndHowEachNameWasMade) {
    TempDir folder;
    for (const char* name : {"a.txt", "b.txt", "held.txt"}) {
        folder.Write(name, name);
    }
    RenameController controller;
    TExampleList list;
    list.resize(300, 200);
    list.SetSource(&controller);
    QObject::connect(&controller, &RenameController::previewed, &list, &TExampleList::SetLines);
    QObject::connect(&controller, &RenameController::previewMarked, &list, &TExampleList::SetMarks);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));

    controller.listFolder(QByteArray::fromStdString(folder.path()), QStringLiteral("*.*"));
    controller.Selection().Select({1, 2});
    controller.Script().Load({DecodeName("11|Remplacer tout par [Chaine=held.txt]")});
    controller.preview(PreviewMode::Silent);
    EXPECT_EQ(list.toPlainText(), "held.txt\nheld.txt");
    const QModelIndex first = list.model()->index(0, 0);
    EXPECT_EQ(first.data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    const QString reason = first.data(Qt::ToolTipRole).toString();
    EXPECT_FALSE(reason.isEmpty());

    const QPoint at = list.visualRect(first).center();
    QHelpEvent help(QEvent::ToolTip, at, list.viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(list.viewport(), &help);
    const QString tip = QToolTip::text();
    EXPECT_TRUE(tip.startsWith("<p><b>" + reason.toHtmlEscaped() + "</b></p>")) << tip.toStdString();
    EXPECT_TRUE(tip.contains("a.txt<br>1. <span style=\"background-color:#ffe08a\">held</span>.txt"))
        << tip.toStdString();
    QToolTip::hideText();

    // The list shows nothing once its preview is taken away.
    list.SetSource(nullptr);
    EXPECT_EQ(list.LineCount(), 0);
    list.SetLines(2);
    EXPECT_EQ(list.LineCount(), 0);
}

} // namespace
} // namespace quorvel::test
