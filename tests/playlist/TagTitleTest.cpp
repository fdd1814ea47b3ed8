#include "playlist/TagTitle.h"

#include "playlist/TrackList.h"

#include <QFile>
#include <QTemporaryDir>

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

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(TagTitleTest, ReadsTheTitleFieldOfTheLast128Bytes)
{
    const std::pair<QByteArray, QString> cases[] = {
        {{}, kStored},
        {File(0, "TAG", "Short").left(127), kStored},
        {File(0, "TAG", "Exact"), kStored}, // 128 bytes hold no tag, even starting with TAG
        {File(1, "TAG", "Hello"), QStringLiteral("Hello")},
        {File(10, "tag", "Nope"), kStored},
        {File(10, "TAG", ""), QString()},
        {File(10, "TAG", QByteArray(30, 'T')), QString(30, QLatin1Char('T'))}, // no zero byte
        {File(10, "TAG", "\xC3\x9Cn\xC3\xAF"), QStringLiteral("Ünï")},
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
        Write(path, cases[i].first);
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
    for (const QString& path :
         {fifo, dir.path(), dir.filePath(QStringLiteral("no.avi")), QStringLiteral("/dev/zero")}) {
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
    const QString path = dir.filePath(QStringLiteral("locked.avi"));
    Write(path, File(10, "TAG", "Hidden"));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::Permissions()));
    // The read runs in a child process that drops root, which reads any file; the alarm ends
    // a child that hangs, so the wait is bounded.
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(10);
        const bool dropped = ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0);
        TrackList tracks;
        AddTrack(tracks, path, kStored, -1.0);
        ::_exit(!dropped ? 2 : ReadTagTitle(tracks, 0) == kStored ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "status " << status << " (exit 1: the title was read, 2: root could not be dropped)";
}

} // namespace
