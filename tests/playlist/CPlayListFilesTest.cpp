// Adding files, lists and folders, dropping files, saving and Find, through the window's buttons.

#include "PlayListFixture.h"
#include "common/AppMessages.h"
#include "controls/CTavEdit.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QUrl>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class PlayListFilesTest : public PlayListTest
{
protected:
    // Writes a file (and its folders) under the test's folder; returns its full path.
    QString Write(const QString& name, const QByteArray& bytes = "x")
    {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir m_dir;
};

// Media files are appended, list files read in their place. The first new row is marked unless
// a row was marked before. Names that are no readable list add nothing at once (a FIFO or a
// device must not block); a list kind that is recognised but not read adds nothing.
TEST_F(PlayListFilesTest, AddFileAppendsMediaReadsListsAndMarksAsAPersonExpects)
{
    Write(QStringLiteral("list.m3u"), "#EXTM3U\r\n#EXTINF:5,X\r\nx.avi\r\ny.avi\r\n");
    Write(QStringLiteral("list.PLS"), "[playlist]\nFile1=/b.avi\nTitle1=B\nLength1=7\n");
    ASSERT_EQ(::mkfifo(QFile::encodeName(m_dir.filePath("fifo.m3u")).constData(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(m_dir.filePath("zero.pls")).constData()), 0);
    ASSERT_TRUE(QFile(Write(QStringLiteral("huge.m3u"), "/a.avi\n")).resize(2LL << 30));
    Write(QStringLiteral("disc.CUE"), "FILE \"a.avi\" BINARY\n");
    AddEntries({-1.0});
    // Each case: the files chosen, the rows after, the changes told.
    const std::tuple<QStringList, const char*, std::size_t> cases[] = {
        {{"list.m3u"}, "clip0||P x|0:05|M y||P", 2},
        {{"a.avi", "list.PLS"}, "clip0||P x|0:05|M y||P a||P b|0:07|P", 2},
        {{"fifo.m3u", "zero.pls", "missing.m3u", "huge.m3u", "disc.CUE"},
         "clip0||P x|0:05|M y||P a||P b|0:07|P",
         2},
    };
    for (const auto& [files, rows, changes] : cases) {
        m_sent.clear();
        const QString folder = m_dir.path() + QLatin1Char('/');
        CUserDialogs::SetNextFileName(folder + files.join(QLatin1Char('\n') + folder));
        ClickButton(IDC_ADDFILE);
        EXPECT_EQ(Rows(), rows);
        EXPECT_EQ(m_sent, Numbers(changes, WM_PLAYLIST_CHANGED)) << files.join(' ').toStdString();
    }
}

// Only media files, whatever the letter case, hidden ones included; a link to a folder is not
// followed. While the paths go in, the progress bar stands in for the buttons and the show modes
// rest; all come back, also after a folder without media.
TEST_F(PlayListFilesTest, AFolderScanInsertsItsMediaFilesInPathOrderAfterTheEarlierEntries)
{
    const QString root = m_dir.filePath(QStringLiteral("tree"));
    for (const char* name : {"b.avi", "A.MPG", ".hidden.avi", "sub/c.divx", "sub/.hid/d.avi",
                             "readme.txt", "e.avi.txt", "dir.avi/f.mp4"}) {
        Write(QStringLiteral("tree/") + QLatin1String(name));
    }
    ASSERT_EQ(::symlink("..", QFile::encodeName(root + "/sub/loop").constData()), 0);
    ASSERT_EQ(::symlink("b.avi", QFile::encodeName(root + "/link.avi").constData()), 0);
    QDir().mkpath(m_dir.filePath(QStringLiteral("empty")));
    AddEntries({-1.0});
    m_window->AddFileEntry(root + QStringLiteral("/0.avi"), QString(), -1.0); // would sort first
    auto* progress = res::FindControl<QProgressBar>(m_window.get(), IDC_SCANPROGRESS);
    const auto controls = [&] {
        return std::tuple(progress->isVisible(),
                          res::FindControl<QWidget>(m_window.get(), IDC_SAVE)->isVisible(),
                          res::FindControl<QWidget>(m_window.get(), IDC_SHOWPATH)->isEnabled());
    };

    for (const QString& folder : {root, m_dir.filePath(QStringLiteral("empty"))}) {
        CUserDialogs::SetNextFileName(folder);
        ClickButton(IDC_ADDFOLDER);
        EXPECT_EQ(controls(), std::tuple(true, false, false));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !progress->isVisible(); }, 20000));
        ASSERT_TRUE(WaitForAllRows());
        EXPECT_EQ(controls(), std::tuple(false, true, true));
        EXPECT_EQ(Rows(), "clip0||P 0||P .hidden||P A||P b||P link||P d||P c||P");
    }
}

// Dropped local names are appended as they are, in drop order, never marked, and a list file is
// an entry, not read; other URLs are left out. The drop is a copy even where the source proposes a
// move (a move would have the source delete the files), and is handled once, when the list's
// posted message arrives.
TEST_F(PlayListFilesTest, DroppedFilesAreAppendedAsCopiesInDropOrder)
{
    AddEntries({1.0});
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Write(QStringLiteral("z #1.pls"), "[playlist]\n")),
                  QUrl(QStringLiteral("https://example.org/r.avi")),
                  QUrl::fromLocalFile(Write(QStringLiteral("a.avi")))});
    const QPoint point = List()->viewport()->rect().center();
    QDragEnterEvent enter(point, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QDropEvent drop(point, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    for (QDropEvent* event : {static_cast<QDropEvent*>(&enter), &drop}) {
        event->setDropAction(Qt::MoveAction);
        QCoreApplication::sendEvent(List()->viewport(), event);
        EXPECT_TRUE(event->isAccepted());
        EXPECT_EQ(event->dropAction(), Qt::CopyAction);
    }
    EXPECT_EQ(m_window->Tracks().size(), 1u) << "handled before the posted message arrived";

    EXPECT_TRUE(QTest::qWaitFor([&] { return List()->GetItemCount() == 3; }, 5000));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(Rows(), "clip0|0:01|P z #1||P a||P");
}

// The list goes to the name the person chose, in the format its extension names, with every
// entry even while the rows are being rebuilt, and titles read from the files' tags.
TEST_F(PlayListFilesTest, SaveWritesEveryEntryByExtensionWithTitlesFromTags)
{
    QByteArray tagged(200, '\0');
    tagged.replace(200 - 128, 16, "TAGTagged Title\0", 16);
    const QString clip = Write(QStringLiteral("clip.avi"), tagged);
    m_window->AddFileEntry(clip, QStringLiteral("old"), -1.0);
    m_window->AddFileEntry(QStringLiteral("/media/b.avi"), QStringLiteral("B"), 65.9);
    const QByteArray path = clip.toUtf8();
    const QString error = QGuiApplication::applicationDisplayName() + ": File Write Error";
    // Each case: the name chosen, what it holds after Save, the messages shown.
    const std::tuple<const char*, QByteArray, QStringList> cases[] = {
        {"list.m3u",
         "#EXTM3U\r\n#EXTINF:-1,Tagged Title\r\n" + path + "\r\n#EXTINF:65,B\r\n/media/b.avi\r\n",
         {}},
        {"LIST.PLS",
         "[playlist]\r\nFile1=" + path +
             "\r\nTitle1=Tagged Title\r\nLength1=-1\r\n"
             "File2=/media/b.avi\r\nTitle2=B\r\nLength2=65\r\nNumberOfEntries=2\r\nVersion=2\r\n",
         {}},
        {"missing/list.m3u", {}, {error}},
    };
    for (const auto& [name, written, asked] : cases) {
        ClickButton(IDC_SHOWPATH);
        ASSERT_EQ(List()->GetItemCount(), 0);
        const QString target = m_dir.filePath(QLatin1String(name));
        CUserDialogs::SetNextFileName(target);
        CUserDialogs::SetNextAnswer(QMessageBox::Ok);
        ClickButton(IDC_SAVE);
        QFile file(target);
        EXPECT_EQ(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(), written) << name;
        EXPECT_EQ(CUserDialogs::TakeAskedTexts(), asked) << name;
    }
    EXPECT_EQ(m_window->Tracks()[0]->strTitle, QStringLiteral("Tagged Title"));
}

// Find marks the next matching row below the mark, ignoring case (Unicode folding included),
// without wrapping around; it searches what the rows show.
TEST_F(PlayListFilesTest, FindMarksTheNextMatchingRowBelowTheMark)
{
    for (const char* name : {"v/clip", "v/Holiday", "v/holiday2", "w/Stra\u00dfe"}) {
        m_window->AddFileEntry(QStringLiteral("/%1.avi").arg(QString::fromUtf8(name)), {}, -1.0);
    }
    // Each case: the rows' show mode (rebuilding them leaves no mark), the text, the mark after
    // each press.
    const std::tuple<int, const char*, std::vector<int>> cases[] = {
        {IDC_SHOWFILENAME, "HOLIDAY", {1, 2, 2}},
        {IDC_SHOWFILENAME, "/v/", {-1}},
        {IDC_SHOWPATH, "/V/", {0, 1, 2, 2}},
        {IDC_SHOWFILENAME, "STRASSE", {3}},
    };
    for (const auto& [show, text, expected] : cases) {
        ClickButton(show);
        ASSERT_TRUE(WaitForAllRows());
        res::FindControl<CTavEdit>(m_window.get(), IDC_FINDTEXT)->setText(QString::fromUtf8(text));
        std::vector<int> marks;
        for (std::size_t press = 0; press < expected.size(); ++press) {
            ClickButton(IDC_FINDNEXT);
            marks.push_back(List()->GetSelectionMark());
        }
        EXPECT_EQ(marks, expected) << text;
    }
    EXPECT_EQ(m_sent, Numbers{});
}

} // namespace
