#include "playlist/PlayListFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Items = std::vector<PlayListItem>;
const QString kFolder = QStringLiteral("/lists");

std::string Describe(const Items& items)
{
    std::string text;
    for (const PlayListItem& item : items) {
        text +=
            (item.path + u'|' + item.title + u'|' + QString::number(item.nLength)).toStdString();
        text += '\n';
    }
    return text;
}

struct ReadCase
{
    const char* name;
    QByteArray bytes;
    Items expected;
};

TEST(PlayListFormatTest, M3uReaderTakesEachRuleOfTheFormat)
{
    const ReadCase cases[] = {
        {"pairs, CR LF",
         "#EXTM3U\r\n#EXTINF:65,Song\r\n/m/a.avi\r\n#EXTINF:-1,\r\n/m/b.avi\r\n",
         {{"/m/a.avi", "Song", 65}, {"/m/b.avi", "", -1}}},
        {"pairs, LF", "#EXTM3U\n#EXTINF:7,T\n/m/a.avi\n", {{"/m/a.avi", "T", 7}}},
        {"comma right after colon", "#EXTINF:,Title\n/m/a.avi\n", {{"/m/a.avi", "", -1}}},
        {"number, comma, no title", "#EXTINF:123,\n/m/a.avi", {{"/m/a.avi", "", 123}}},
        {"number, no comma", "#EXTINF:123\n/m/a.avi", {{"/m/a.avi", "", -1}}},
        {"fraction truncated", "#EXTINF:97.6,x,y \n/m/a.avi", {{"/m/a.avi", "x,y ", 97}}},
        {"no header: first line is an entry",
         "a.avi\nb.avi",
         {{"/lists/a.avi", "", -1}, {"/lists/b.avi", "", -1}}},
        {"paths: relative, backslash, dot-dot, absolute, file URL, trimmed",
         "  sub/a.avi \nsub\\b.avi\n../m/c.avi\n/abs/../d.avi\nfile:///m/e%20f.avi\n",
         {{"/lists/sub/a.avi", "", -1},
          {"/lists/sub/b.avi", "", -1},
          {"/m/c.avi", "", -1},
          {"/abs/../d.avi", "", -1},
          {"/m/e f.avi", "", -1}}},
        {"empty lines skipped, last bare path taken",
         "#EXTM3U\n\n#EXTINF:1,A\n/a.avi\n\n/b.avi",
         {{"/a.avi", "A", 1}, {"/b.avi", "", -1}}},
        {"#EXTINF as the last line adds nothing",
         "#EXTM3U\n/a.avi\n#EXTINF:5,X",
         {{"/a.avi", "", -1}}},
        {"the line after #EXTINF is its path line, whatever it holds",
         "#EXTINF:1,A\n#EXTINF:2,B\n/c.avi",
         {{"/lists/#EXTINF:2,B", "A", 1}, {"/c.avi", "", -1}}},
        {"UTF-8, Latin-1 and a BOM",
         "\xEF\xBB\xBF#EXTM3U\n#EXTINF:1,\xC3\xA9t\xC3\xA9\n/\xE9t\xE9.avi\n",
         {{QStringLiteral("/\u00e9t\u00e9.avi"), QStringLiteral("\u00e9t\u00e9"), 1}}},
        {"empty file", "", {}},
        {"CR-only line ends",
         "#EXTM3U\r#EXTINF:4,T\r/a.avi\r/b.avi",
         {{"/a.avi", "T", 4}, {"/b.avi", "", -1}}},
        {"a line too long for a path",
         "/" + QByteArray(1 << 20, 'a') + "\n/b.avi",
         {{"/b.avi", "", -1}}},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(Describe(ReadM3uEntries(c.bytes, kFolder)), Describe(c.expected)) << c.name;
    }
}

TEST(PlayListFormatTest, PlsReaderTakesEntriesByKeyAndNumberInTheOrderOfTheirFileLines)
{
    const ReadCase cases[] = {
        {"as written",
         "[playlist]\r\nFile1=/a.avi\r\nTitle1=A \r\nLength1=65\r\nFile2=b.avi\r\n"
         "Title2=\r\nLength2=-1\r\nNumberOfEntries=2\r\nVersion=2\r\n",
         {{"/a.avi", "A ", 65}, {"/lists/b.avi", "", -1}}},
        {"File= without number is no entry",
         "[playlist]\nFile=/x.avi\nFile1=/a.avi\nTitle1=A\nLength1=1",
         {{"/a.avi", "A", 1}}},
        {"no titles or lengths, a wrong NumberOfEntries",
         "[playlist]\nNumberOfEntries=1\nFile1=/1.avi\nFile2=/2.avi\nFile3=/3.avi\nTitle1=x",
         {{"/1.avi", "x", -1}, {"/2.avi", "", -1}, {"/3.avi", "", -1}}},
        {"keys in any order, a FileN given twice",
         "[playlist]\nTitle1=One\nLength1=5\nFile1=/1.avi\nTitle2=Two\nFile2=/2.avi\n"
         "Length2=7\nFile1=/again.avi\n",
         {{"/1.avi", "One", 5}, {"/2.avi", "Two", 7}}},
        {"CR-only line ends",
         "[playlist]\rFile1=/a.avi\rTitle1=A\rLength1=3\r",
         {{"/a.avi", "A", 3}}},
        {"empty length stays -1, letters give 0",
         "[playlist]\nFile1=/a.avi\nTitle1=\nLength1=\nFile2=/b.avi\nTitle2=\nLength2=abc",
         {{"/a.avi", "", -1}, {"/b.avi", "", 0}}},
        {"keys are case-sensitive", "[playlist]\nfile1=/a.avi\nFILE2=/b.avi\n", {}},
    };
    for (const ReadCase& c : cases) {
        Items items;
        EXPECT_TRUE(ReadPlsEntries(c.bytes, kFolder, &items)) << c.name;
        EXPECT_EQ(Describe(items), Describe(c.expected)) << c.name;
    }
    Items items{{"/stale.avi", "", 1}};
    EXPECT_FALSE(ReadPlsEntries("[Playlist]\nFile1=/a.avi\n", kFolder, &items));
    EXPECT_TRUE(items.empty());
}

TEST(PlayListFormatTest, LengthsAndExtensionsParseAsUsersWriteThem)
{
    const std::pair<const char*, int> lengths[] = {
        {"42", 42},
        {"  -7x", -7},
        {"+3", 3},
        {"", 0},
        {"x1", 0},
        {"97.6", 97},
        {"99999999999", 2147483647},
        {"-99999999999", -2147483647 - 1},
    };
    for (const auto& [text, expected] : lengths) {
        EXPECT_EQ(ParsePlayListLength(QString::fromLatin1(text)), expected) << text;
    }
    const std::pair<const char*, bool> extensions[] = {
        {".m3u", true},  {".PLS", true},   {".Cue", true}, {".qxz", true},
        {".avi", false}, {".m3u8", false}, {"", false},
    };
    for (const auto& [ext, isList] : extensions) {
        EXPECT_EQ(IsPlayListExtension(QString::fromLatin1(ext)), isList) << ext;
    }
    const std::pair<const char*, PlayListFormat> names[] = {
        {"/a/list.m3u", PlayListFormat::M3u},  {"/a/list.M3u", PlayListFormat::M3u},
        {"/a/list.PLS", PlayListFormat::Pls},  {"/a/disc.cue", PlayListFormat::None},
        {"/a.m3u/clip", PlayListFormat::None},
    };
    for (const auto& [path, format] : names) {
        EXPECT_EQ(PlayListFormatOf(QString::fromLatin1(path)), format) << path;
    }
}

// Every list the program writes reads back to the same entries, whatever the paths and titles.
TEST(PlayListFormatTest, EveryWrittenListReadsBackToTheSameEntries)
{
    const Items items = {
        {"/m/a.avi", "Song, with = signs ", 65},
        {QStringLiteral("/m/\u00e9t\u00e9 \u4e2d\u6587 \U0001F600.avi"),
         QStringLiteral("\u00e9t\u00e9"), -1},
        {"/m/ leading and trailing space.avi ", "", 0},
        {"/m/line\nbreak.avi", "", 3},
        {"//m/carriage\rreturn.avi", "", 4},
        {"/m/#hash%percent.avi", "#EXTINF:1,x", 12},
    };
    std::vector<NumberedItem> numbered;
    for (std::size_t i = 0; i < items.size(); ++i) {
        numbered.push_back({static_cast<int>(i) + 1, items[i]});
    }
    const QByteArray m3u = WritePlayListText(PlayListFormat::M3u, numbered);
    EXPECT_EQ(Describe(ReadM3uEntries(m3u, kFolder)), Describe(items));
    const QByteArray pls = WritePlayListText(PlayListFormat::Pls, numbered);
    Items read;
    ASSERT_TRUE(ReadPlsEntries(pls, kFolder, &read));
    EXPECT_EQ(Describe(read), Describe(items));
    for (const QByteArray& text : {m3u, pls}) {
        EXPECT_EQ(text.count('\n'), text.count("\r\n"));
    }
    EXPECT_TRUE(pls.endsWith("NumberOfEntries=6\r\nVersion=2\r\n"));

    // A title with a line break stays one line.
    EXPECT_EQ(WritePlayListText(PlayListFormat::M3u, {{1, {"/a.avi", "two\r\nlines", 1}}}),
              QByteArray("#EXTM3U\r\n#EXTINF:1,two  lines\r\n/a.avi\r\n"));
    EXPECT_EQ(WritePlayListText(PlayListFormat::M3u, {}), QByteArray("#EXTM3U\r\n"));
    EXPECT_EQ(WritePlayListText(PlayListFormat::Pls, {}),
              QByteArray("[playlist]\r\nNumberOfEntries=0\r\nVersion=2\r\n"));
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// A write that fails part-way (here: the file-size limit, as a full disk would) leaves the old
// list byte for byte, and no temporary file behind.
TEST(PlayListFormatTest, AFailedWriteLeavesTheOldListIntact)
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
    EXPECT_EQ(FileBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"list.m3u"});

    bool asked = false;
    EXPECT_EQ(WritePlayListFile(
                  dir.filePath(QStringLiteral("missing/list.m3u")),
                  [&] {
                      asked = true;
                      return old;
                  },
                  &error),
              SaveResult::NotCreated);
    EXPECT_FALSE(asked) << "the text is made only once the file could be created";
}

// What a list name may stand for besides a list: none hangs, none is read as one.
TEST(PlayListFormatTest, OnlyRegularFilesOfSaneSizeAreReadAsLists)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.m3u"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString huge = dir.filePath(QStringLiteral("huge.m3u"));
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(2LL << 30));
    }
    const QString nuls = dir.filePath(QStringLiteral("nuls.m3u"));
    {
        QFile file(nuls);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("/a.avi\n\0\0\0\n/b.avi\n", 18));
    }
    const std::pair<QString, bool> names[] = {
        {fifo, false},
        {QStringLiteral("/dev/zero"), false},
        {dir.path(), false},
        {huge, false},
        {dir.filePath(QStringLiteral("missing.m3u")), false},
        {nuls, true},
    };
    for (const auto& [name, readable] : names) {
        QByteArray bytes;
        EXPECT_EQ(ReadPlayListBytes(name, &bytes), readable) << name.toStdString();
    }
    QByteArray bytes;
    ASSERT_TRUE(ReadPlayListBytes(nuls, &bytes));
    const Items items = ReadM3uEntries(bytes, dir.path());
    // A list of a million tiny lines stops at the entry limit.
    EXPECT_EQ(ReadM3uEntries(QByteArray("/a\n").repeated(600'000), dir.path()).size(),
              kMaxPlayListEntries);
    // A line of NUL bytes names no file.
    EXPECT_EQ(Describe(items), Describe({{"/a.avi", "", -1}, {"/b.avi", "", -1}}));
}

} // namespace
