// The M3U and PLS readers and the tag title reader on files from everywhere: what users and other
// players write, and what the fuzzers once found (the fuzzers also check that every written list
// reads back the same). And the rows' pictures.

#include "playlist/PlayListFile.h"

#include "playlist/RowImages.h"
#include "playlist/TagTitle.h"
#include "playlist/TrackList.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace {

const QString kFolder = QStringLiteral("/lists");
constexpr PlayListFormat kM3u = PlayListFormat::M3u;
constexpr PlayListFormat kPls = PlayListFormat::Pls;

// The entries a reader takes from the bytes, as "path|title|length;" each.
std::string Read(PlayListFormat format, const QByteArray& bytes)
{
    std::vector<PlayListItem> items;
    if (format == kM3u) {
        items = ReadM3uEntries(bytes, kFolder);
    } else if (!ReadPlsEntries(bytes, kFolder, &items)) {
        return "not a list";
    }
    QString text;
    for (const PlayListItem& item : items) {
        text += item.path + u'|' + item.title + u'|' + QString::number(item.nLength) + u';';
    }
    return text.toStdString();
}

// The title the tag reader finds for the entry of a path whose title was "stored".
std::string TitleOf(const QString& path)
{
    TrackList tracks;
    AddTrack(tracks, path, QStringLiteral("stored"), -1.0);
    return ReadTagTitle(tracks, 0).toStdString();
}

TEST(PlayListFileTest, ReadersTakeListsFromEverywhere)
{
    const std::tuple<PlayListFormat, QByteArray, const char*> cases[] = {
        // #EXTINF without a length, with a length and no title, without a comma, a fraction.
        {kM3u, "#EXTINF:,Title\n/a\n#EXTINF:123,\n/b\n#EXTINF:123\n/c\n#EXTINF:97.6,x,y \n/d",
         "/a||-1;/b||123;/c||-1;/d|x,y |97;"},
        // No header; relative, backslash, dot-dot, absolute, file URLs (a host is another
        // machine's), white space around.
        {kM3u,
         "  sub/a.avi \nsub\\b.avi\n../m/c.avi\n/abs/../d.avi\nfile:///m/e%20f.avi\n"
         "file:////m/g.avi\nfile://host/h.avi\n",
         "/lists/sub/a.avi||-1;/lists/sub/b.avi||-1;/m/c.avi||-1;/abs/../d.avi||-1;/m/e f.avi||-1;"
         "//m/g.avi||-1;"},
        // Empty lines skipped, CR-only line ends, #EXTINF as the last line adds nothing.
        {kM3u, "#EXTM3U\r\r#EXTINF:1,A\r/a.avi\r\r/b.avi\r#EXTINF:5,X", "/a.avi|A|1;/b.avi||-1;"},
        // The line after #EXTINF is its path line, whatever it holds.
        {kM3u, "#EXTINF:1,A\n#EXTINF:2,B\n/c.avi", "/lists/#EXTINF:2,B|A|1;/c.avi||-1;"},
        // UTF-8, Latin-1 and a byte-order mark.
        {kM3u, "\xEF\xBB\xBF#EXTM3U\n#EXTINF:1,\xC3\xA9t\xC3\xA9\n/\xE9t\xE9.avi\n",
         "/\u00e9t\u00e9.avi|\u00e9t\u00e9|1;"},
        // Lines that name no file: too long for a path, NUL bytes.
        {kM3u, "/" + QByteArray(1 << 20, 'a') + "\n/a.avi\n" + QByteArray(3, '\0') + "\n/b.avi",
         "/a.avi||-1;/b.avi||-1;"},
        // Keys in any order; "File=" and a second FileN name no entry; NumberOfEntries is wrong.
        {kPls,
         "[playlist]\rNumberOfEntries=1\rTitle1=One\rLength1=5\rFile=/x.avi\rFile1=/1.avi\r"
         "Title2=Two\rFile2=/2.avi\rFile1=/again.avi\rFile3=/3.avi\r",
         "/1.avi|One|5;/2.avi|Two|-1;/3.avi||-1;"},
        // Lengths as people write them.
        {kPls,
         "[playlist]\nFile1=/a\nLength1=\nFile2=/b\nLength2=abc\nFile3=/c\nLength3=  -7x\n"
         "File4=/d\nLength4=+99999999999\nFile5=/e\nLength5=-99999999999\n",
         "/a||-1;/b||0;/c||-7;/d||2147483647;/e||-2147483648;"},
        {kPls, "[Playlist]\nFile1=/a.avi\n", "not a list"},
    };
    for (const auto& [format, bytes, expected] : cases) {
        EXPECT_EQ(Read(format, bytes), expected) << bytes.left(80).toStdString();
    }
    // A list of a million tiny lines stops at the entry limit.
    EXPECT_EQ(ReadM3uEntries(QByteArray("/a\n").repeated(600'000), kFolder).size(),
              kMaxPlayListEntries);
}

// The title field of the last 128 bytes, only where they follow more bytes and start with TAG; a
// field without a zero byte, Latin-1, and UTF-8 cut inside its last character (the whole
// characters stay). Paths that are no regular files are never opened: a FIFO would block until a
// writer came.
TEST(PlayListFileTest, TheTagTitleIsReadFromRegularFilesOnly)
{
    // Each case: the bytes before the title field, the field (zeros follow), the title read.
    const std::tuple<QByteArray, QByteArray, const char*> cases[] = {
        {"", {}, "stored"},
        {"TAG", "Exact", "stored"},
        {"xtag", "Lower case", "stored"},
        {"xTAG", "Hello", "Hello"},
        {"xTAG", QByteArray(30, 'T') + "Artist", "TTTTTTTTTTTTTTTTTTTTTTTTTTTTTT"},
        {"xTAG", "Caf\xE9 \xC0 la carte", "Caf\u00e9 \u00c0 la carte"},
        {"xTAG", QByteArray("\xC3\xA9").repeated(14) + "x\xC3",
         "\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9x"},
    };
    QTemporaryDir dir;
    for (const auto& [before, field, title] : cases) {
        QFile file(dir.filePath(QStringLiteral("clip.avi")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(before + field + QByteArray(125 - field.size(), '\0'));
        file.close();
        EXPECT_EQ(TitleOf(file.fileName()), title) << field.toStdString();
    }
    const QString fifo = dir.filePath(QStringLiteral("pipe.avi"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {fifo, dir.path(), QStringLiteral("/dev/zero")}) {
        EXPECT_EQ(TitleOf(path), "stored") << path.toStdString();
    }
}

// A write that fails part-way (here: the file-size limit, as a full disk would) leaves the old
// list byte for byte, and no temporary file behind.
TEST(PlayListFileTest, AFailedWriteLeavesTheOldListIntact)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.m3u"));
    const QByteArray old = "#EXTM3U\r\n#EXTINF:1,old\r\n/old.avi\r\n";
    QString error;
    ASSERT_EQ(WritePlayListFile(
                  path, [&] { return old; }, &error),
              SaveResult::Written);

    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const SaveResult result = WritePlayListFile(
            path, [] { return QByteArray(64 * 1024, 'x'); }, &error);
        ::_exit(result == SaveResult::WriteFailed && !error.isEmpty() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the write did not fail";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"list.m3u"});
}

// A row's state is seen only through its picture: two alike would hide the state. Each picture
// is solid across its middle line, so the row's selection colour cannot show through and wash
// it out.
TEST(RowImagesTest, FiveDistinctSolidSixteenPixelPictures)
{
    const QList<QPixmap> pixmaps = CreateRowImages();
    ASSERT_EQ(pixmaps.size(), kRowImageCount);
    for (qsizetype i = 0; i < pixmaps.size(); ++i) {
        const QImage image = pixmaps[i].toImage();
        EXPECT_EQ(image.size(), QSize(16, 16)) << i;
        for (int x = 0; x < image.width(); ++x) {
            EXPECT_EQ(qAlpha(image.pixel(x, 8)), 255) << i << " at " << x;
        }
        for (qsizetype j = 0; j < i; ++j) {
            EXPECT_NE(image, pixmaps[j].toImage()) << i << " and " << j;
        }
    }
}

} // namespace
