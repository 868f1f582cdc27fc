#include "settings/environment.hpp"
#include "browser/icon_cache.hpp"
#include "support/temp_dir.hpp"

#include <QImage>
#include <QImageWriter>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(IconCache, OneImagePerTypeWhateverTheFolder) {
    TIconCache cache;
    EXPECT_EQ(cache.Count(), TIconCache::kBuiltIn);
    const int text = cache.FileIconIndex(QStringLiteral("/a/one.txt"));
    EXPECT_GE(text, TIconCache::kBuiltIn);
    EXPECT_EQ(cache.FileIconIndex(QStringLiteral("/b/other.TXT")), text);
    const int images = cache.Count();
    EXPECT_EQ(cache.FileIconIndex(QStringLiteral("/c/third.txt")), text);
    EXPECT_EQ(cache.Count(), images); // nothing looked up again
    EXPECT_EQ(UpperExtension(QStringLiteral("/x.d/name")), QString());
    EXPECT_EQ(UpperExtension(QStringLiteral("/x/a.b.jpg")), QStringLiteral(".JPG"));
}

TEST(IconCache, IconFilesShowTheirOwnPictureAndBrokenOnesTheBlankDocument) {
    test::TempDir dir;
    QImage red(32, 32, QImage::Format_ARGB32);
    red.fill(Qt::red);
    const QString icon = QString::fromStdString(dir / "red.ico");
    if (!QImageWriter(icon, "ico").write(red)) {
        GTEST_SKIP() << "no ICO writer";
    }
    TIconCache cache;
    const int index = cache.FileIconIndex(icon);
    ASSERT_GE(index, TIconCache::kBuiltIn);
    EXPECT_EQ(QColor(cache.Image(index).toImage().pixel(16, 16)), QColor(Qt::red));
    const QString broken = QString::fromStdString(dir.Write("broken.ico", "not an icon"));
    EXPECT_EQ(cache.FileIconIndex(broken), 0);
    EXPECT_EQ(cache.FileIconIndex(QString::fromStdString(dir / "missing.ico")), 0);
}

TEST(Environment, SettingsGoBesideTheProgramOrIntoTheUserConfiguration) {
    test::TempDir dir;
    EXPECT_EQ(SettingsFileFor(QString::fromStdString(dir / "quorvel")).toStdString(), dir / "quorvel.ini");
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsFileFor(QStringLiteral("/nonexistent/bin/quorvel")), config + "/quorvel/quorvel.ini");
    const ProgramEnvironment env =
        ProgramEnvironment::ForProgramAt(QString::fromStdString(dir / "bin/quorvel"), {});
    EXPECT_EQ(env.programFolder.toStdString(), dir / "bin/");
    EXPECT_EQ(env.dataFolders.value(1).toStdString(), dir / "share/quorvel/");
}

} // namespace
} // namespace quorvel
