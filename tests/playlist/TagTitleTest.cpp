#include "playlist/TagTitle.h"

#include "playlist/TrackList.h"

#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString kStored = QStringLiteral("stored");

// A 128-byte ID3v1 tag after `before` bytes: marker, 30-byte title field, then an artist.
QByteArray File(qsizetype before, const QByteArray& marker, const QByteArray& title)
{
    QByteArray tag(128, '\0');
    tag.replace(0, 3, marker);
    tag.replace(3, title.size(), title);
    tag.replace(33, 6, "Artist");
    return QByteArray(before, 'x') + tag;
}

QString Read(const QString& path)
{
    TrackList tracks;
    AddTrack(tracks, path, kStored, -1.0);
    const QString title = ReadTagTitle(tracks, 0);
    EXPECT_EQ(tracks[0]->strTitle, title); // the read is stored in the entry
    return title;
}

TEST(TagTitleTest, ReadsTheTitleFieldOfTheLast128Bytes)
{
    const std::pair<QByteArray, QString> cases[] = {
        {{}, kStored},
        {File(0, "TAG", "Short").left(127), kStored},
        {File(0, "TAG", "Exact"), kStored}, // 128 bytes hold no tag, even starting with TAG
        {File(1, "TAG", "Hello"), QStringLiteral("Hello")},
        {File(10, "tag", "Nope"), kStored},
        {QByteArray(300, 'x'), kStored},
        {File(10, "TAG", ""), QString()},
        {File(10, "TAG", QByteArray(30, 'T')), QString(30, QLatin1Char('T'))},
        {File(10, "TAG", "Song   "), QStringLiteral("Song   ")},
        {File(10, "TAG",
              "\xC3\x9Cn\xC3\xAF"
              "c\xC3\xB8"
              "d\xC3\xA9"),
         QStringLiteral("Ünïcødé")},
        {File(10, "TAG", "Caf\xE9 \xC0 la carte"), QStringLiteral("Café À la carte")},
        // UTF-8 cut inside its last character at the field's end keeps the whole characters;
        // an ASCII title ending in one Latin-1 letter stays Latin-1.
        {File(10, "TAG", QByteArray("\xC3\xA9").repeated(14) + "x\xC3"),
         QString(14, QChar(0xE9)) + QLatin1Char('x')},
        {File(10, "TAG", QByteArray(29, 'a') + "\xE9"),
         QString(29, QLatin1Char('a')) + QChar(0xE9)}};
    QTemporaryDir dir;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const QString path = dir.filePath(QStringLiteral("clip%1.avi").arg(i));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(cases[i].first);
        file.close();
        EXPECT_EQ(Read(path), cases[i].second) << "case " << i;
    }
}

// A FIFO would block open() until a writer came: the read runs on a helper thread so that a
// regression fails the test instead of hanging it.
TEST(TagTitleTest, PathsThatAreNoRegularFilesAreNeverOpened)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.avi"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString dangling = dir.filePath(QStringLiteral("dangling.avi"));
    ASSERT_EQ(::symlink("nowhere.avi", QFile::encodeName(dangling).constData()), 0);
    for (const QString& path : {fifo, dangling, dir.path(), dir.filePath(QStringLiteral("no.avi")),
                                QStringLiteral("/dev/zero"), QString()}) {
        auto read = std::async(std::launch::async, [&path] { return Read(path); });
        if (read.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            ::close(::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK));
            read.wait();
            FAIL() << "blocked on " << path.toStdString();
        }
        EXPECT_EQ(read.get(), kStored) << path.toStdString();
    }
}

TEST(TagTitleTest, AFileThatCannotBeOpenedKeepsTheStoredTitle)
{
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    QFile file(dir.filePath(QStringLiteral("locked.avi")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(File(10, "TAG", "Hidden"));
    file.close();
    ASSERT_TRUE(file.setPermissions(QFileDevice::Permissions()));
    if (::geteuid() != 0) {
        EXPECT_EQ(Read(file.fileName()), kStored);
        return;
    }
    // Root reads any file: read as nobody in a child process, bounded.
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        TrackList tracks;
        AddTrack(tracks, file.fileName(), kStored, -1.0);
        ::_exit(dropped ? (ReadTagTitle(tracks, 0) == kStored ? 0 : 1) : 2);
    }
    int status = -1;
    for (int i = 0; i < 500 && ::waitpid(child, &status, WNOHANG) == 0; ++i) {
        ::usleep(10'000);
    }
    if (::waitpid(child, nullptr, WNOHANG) == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
