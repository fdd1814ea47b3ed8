#include "playlist/TagTitle.h"

#include "playlist/TrackList.h"

#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
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

// Paths that are no regular files are never opened: a FIFO would block open() until a writer
// came, so each read runs on a helper thread and a regression fails the test instead of hanging.
TEST(TagTitleTest, ReadsTheTitleFieldOfTheLast128BytesOfRegularFilesOnly)
{
    const std::pair<QByteArray, QString> files[] = {
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
    const QString fifo = dir.filePath(QStringLiteral("pipe.avi"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    std::vector<std::pair<QString, QString>> cases = {
        {fifo, kStored},
        {dir.path(), kStored},
        {dir.filePath(QStringLiteral("no.avi")), kStored},
        {QStringLiteral("/dev/zero"), kStored}};
    for (const auto& [bytes, title] : files) {
        cases.push_back({dir.filePath(QStringLiteral("clip%1.avi").arg(cases.size())), title});
        QFile file(cases.back().first);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) >= 0);
    }
    for (const auto& [path, title] : cases) {
        auto read = std::async(std::launch::async, [&path] { return Read(path); });
        if (read.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
            ::close(::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK));
            read.wait();
            FAIL() << "blocked on " << path.toStdString();
        }
        EXPECT_EQ(read.get(), title) << path.toStdString();
    }
}

} // namespace
