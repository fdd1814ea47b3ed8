#include "playlist/FolderScan.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(FolderScanTest, TheFilterTakesOnlyTheMediaExtensionsInAnyLetterCase)
{
    const QStringList extensions = MediaExtensions(QStringLiteral("*.avi; *.mpg; *.mpeg; *.divx"));
    EXPECT_EQ(extensions, (QStringList{".avi", ".mpg", ".mpeg", ".divx"}));
    const std::pair<const char*, bool> names[] = {
        {"/a/b.avi", true},  {"/a/B.AVI", true},  {"/a/c.MPEG", true}, {"/a/d.Divx", true},
        {"/a/e.mp", false},  {"/a/f.a", false},   {"/a/noext", false}, {"/a/g.m3u", false},
        {"/a/h.mp4", false}, {"/a.avi/i", false}, {"/a/.avi", true},   {"/a/j.avi.txt", false},
    };
    for (const auto& [name, media] : names) {
        EXPECT_EQ(HasMediaExtension(QString::fromLatin1(name), extensions), media) << name;
    }
}

// A folder that cannot be listed adds nothing and the walk goes on. Permissions do not stop
// the superuser, so the walk runs in a child that has given them up.
TEST(FolderScanTest, AnUnreadableSubfolderIsSkippedAndTheWalkGoesOn)
{
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    for (const char* name : {"locked/x.avi", "open/y.avi"}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_EQ(::chmod(QFile::encodeName(dir.filePath("locked")).constData(), 0), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.filePath("open")).constData(), 0755), 0);

    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(2);
        }
        std::deque<QString> queue;
        ScanFolder(dir.path(), {QStringLiteral(".avi")}, &queue);
        const bool ok = queue == std::deque<QString>{dir.filePath(QStringLiteral("open/y.avi"))};
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: wrong paths found, 2: could not drop privileges";

    std::deque<QString> queue;
    ScanFolder(dir.filePath(QStringLiteral("missing")), {QStringLiteral(".avi")}, &queue);
    EXPECT_TRUE(queue.empty());
}

} // namespace
