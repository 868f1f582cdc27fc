// The progress of a long run: nothing for a short one, then a dialog whose button
// stops the work.
#include "shell/run_progress.hpp"

#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

TEST(RunProgressTest, ShowsAfterHalfASecondAndItsButtonStopsTheWork) {
    QWidget window;
    window.show();
    RunProgress progress(&window, QStringLiteral("Renommage des fichiers..."));
    EXPECT_TRUE(progress.Tell(1, 10));
    EXPECT_FALSE(progress.Shown()) << "a short run shows nothing";

    QTest::qWait(550);
    EXPECT_TRUE(progress.Tell(2, 10));
    ASSERT_TRUE(progress.Shown());
    auto* dialog = window.findChild<QProgressDialog*>(QStringLiteral("RunProgress"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->value(), 2);
    EXPECT_EQ(dialog->maximum(), 10);
    EXPECT_EQ(dialog->labelText(), QStringLiteral("Renommage des fichiers..."));
    auto* stop = dialog->findChild<QPushButton*>();
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->text(), QStringLiteral("Arrêter")); // it stops, it does not take back

    QTest::mouseClick(stop, Qt::LeftButton);
    EXPECT_FALSE(progress.Tell(3, 10));
    EXPECT_FALSE(progress.Tell(4, 10)) << "stopped stays stopped";
}

} // namespace
} // namespace quorvel::test
