#include "playlist/TagTitle.h"

#include "playlist/TrackList.h"

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString kStored = QStringLiteral("stored title");

// A 128-byte ID3v1 tag: marker, 30-byte title field, then an artist that must not leak in.
QByteArray Tag(const QByteArray& marker, const QByteArray& title)
{
    QByteArray tag(128, '\0');
    tag.replace(0, marker.size(), marker);
    tag.replace(3, std::min<qsizetype>(title.size(), 30), title.left(30));
    tag.replace(33, 6, "Artist");
    return tag;
}

struct TagCase
{
    const char* name;
    QByteArray content;
    QString expected;
};

class ReadTagTitleTest : public testing::TestWithParam<TagCase>
{
protected:
    QString Write(const QByteArray& content)
    {
        const QString path = m_dir.filePath(QStringLiteral("clip.avi"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }

    QTemporaryDir m_dir;
};

TEST_P(ReadTagTitleTest, ReadsTheTitleFieldOfTheLast128Bytes)
{
    TrackList tracks;
    AddTrack(tracks, Write(GetParam().content), kStored, -1.0);
    EXPECT_EQ(ReadTagTitle(tracks, 0), GetParam().expected);
    // The read is stored in the entry.
    EXPECT_EQ(tracks[0]->strTitle, GetParam().expected);
}

QByteArray Body(qsizetype size)
{
    return QByteArray(size, 'x');
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadTagTitleTest,
    testing::Values(
        TagCase{"Empty", {}, kStored}, TagCase{"Size127", Tag("TAG", "Short").left(127), kStored},
        // 128 bytes or less is read as no tag at all, even when it starts with "TAG".
        TagCase{"Size128", Tag("TAG", "Exact"), kStored},
        TagCase{"Size129", Body(1) + Tag("TAG", "Hello"), QStringLiteral("Hello")},
        TagCase{"LongFile", Body(5000) + Tag("TAG", "Long File"), QStringLiteral("Long File")},
        TagCase{"LowerCaseMarker", Body(10) + Tag("tag", "Nope"), kStored},
        TagCase{"NoMarker", Body(200), kStored},
        TagCase{"EmptyTitleField", Body(10) + Tag("TAG", ""), QString()},
        TagCase{"FullFieldStopsAtThirtyBytes", Body(10) + Tag("TAG", QByteArray(30, 'T')),
                QString(30, QLatin1Char('T'))},
        TagCase{"TrailingSpacesStay", Body(10) + Tag("TAG", "Song" + QByteArray(26, ' ')),
                QStringLiteral("Song") + QString(26, QLatin1Char(' '))},
        TagCase{"Utf8Title",
                Body(10) + Tag("TAG", "\xC3\x9Cn\xC3\xAF"
                                      "c\xC3\xB8"
                                      "d\xC3\xA9"),
                QString::fromUtf8("Ünïcødé")},
        TagCase{"Latin1Title", Body(10) + Tag("TAG", "Caf\xE9 \xC0 la carte"),
                QString::fromUtf8("Café À la carte")},
        // A UTF-8 title cut inside its last character keeps the whole characters before it.
        TagCase{"Utf8CutAtFieldEnd",
                Body(10) + Tag("TAG", QByteArray("\xC3\xA9").repeated(14) + "x\xC3"),
                QString::fromUtf8("éééééééééééééé") + QLatin1Char('x')},
        // An ASCII title whose last byte is a Latin-1 letter is Latin-1, not a cut UTF-8 text.
        TagCase{"Latin1LetterAtFieldEnd", Body(10) + Tag("TAG", QByteArray(29, 'a') + "\xE9"),
                QString(29, QLatin1Char('a')) + QChar(0xE9)}),
    [](const testing::TestParamInfo<TagCase>& info) { return std::string(info.param.name); });

// Paths that are not regular files: nothing is opened, the stored title stays. A FIFO would block
// the UI thread in open() until a writer came; the read runs on a helper thread here so that a
// regression fails the test instead of hanging it.
TEST(ReadTagTitleSpecialFilesTest, NonRegularFilesAreNeverOpened)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.avi"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString dangling = dir.filePath(QStringLiteral("dangling.avi"));
    ASSERT_EQ(::symlink("nowhere.avi", QFile::encodeName(dangling).constData()), 0);

    const QString paths[] = {fifo,
                             dangling,
                             dir.path(),
                             dir.filePath(QStringLiteral("missing.avi")),
                             QStringLiteral("/dev/zero"),
                             QStringLiteral("/dev/null"),
                             QString()};
    for (const QString& path : paths) {
        TrackList tracks;
        AddTrack(tracks, path, kStored, -1.0);
        auto read = std::async(std::launch::async, [&tracks] { return ReadTagTitle(tracks, 0); });
        if (read.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            // Release the blocked open() so the test can end, then fail.
            const int writer = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
            read.wait();
            ::close(writer);
            FAIL() << "ReadTagTitle blocked on " << path.toStdString();
        }
        EXPECT_EQ(read.get(), kStored) << path.toStdString();
    }
}

// Runs the read in a child process without privileges when the tests run as root, who could
// read the file whatever its mode. Returns the child's exit code, or -1 if it did not end in time.
int ReadAsNobody(const QString& path)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(2);
        }
        TrackList tracks;
        AddTrack(tracks, path, kStored, -1.0);
        ::_exit(ReadTagTitle(tracks, 0) == kStored ? 0 : 1);
    }
    for (int waited = 0; waited < 500; ++waited) {
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        ::usleep(10'000);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return -1;
}

TEST(ReadTagTitleSpecialFilesTest, AFileThatCannotBeOpenedKeepsTheStoredTitle)
{
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    const QString path = dir.filePath(QStringLiteral("locked.avi"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Body(10) + Tag("TAG", "Hidden"));
    file.close();
    ASSERT_TRUE(file.setPermissions(QFileDevice::Permissions()));
    if (::geteuid() == 0) {
        EXPECT_EQ(ReadAsNobody(path), 0);
        return;
    }
    TrackList tracks;
    AddTrack(tracks, path, kStored, -1.0);
    EXPECT_EQ(ReadTagTitle(tracks, 0), kStored);
}

TEST(ReadTagTitleSpecialFilesTest, IndexOutOfRangeGivesTheEmptyText)
{
    TrackList tracks;
    AddTrack(tracks, QStringLiteral("/dev/null"), kStored, -1.0);
    EXPECT_TRUE(ReadTagTitle(tracks, 1).isEmpty());
    EXPECT_TRUE(ReadTagTitle(tracks, -1).isEmpty());
}

} // namespace
