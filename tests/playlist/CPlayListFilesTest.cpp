// Adding files, lists and folders, dropping files, saving and Find, through the window's buttons.

#include "PlayListFixture.h"
#include "common/AppMessages.h"
#include "controls/CTavButtonCtrl.h"
#include "controls/CTavEdit.h"
#include "playlist/PlayListIO.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QProgressBar>
#include <QRadioButton>
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

    // "<buttons shown> <progress bar shown> <show modes usable>": "7 0 3" when idle.
    std::string ScanControls() const
    {
        const auto count = [this](auto type, bool (QWidget::*state)() const) {
            const auto widgets = m_window->findChildren<decltype(type)>();
            return std::to_string(std::count_if(widgets.begin(), widgets.end(),
                                                [&](QWidget* w) { return (w->*state)(); }));
        };
        return count(static_cast<CTavButtonCtrl*>(nullptr), &QWidget::isVisible) +
               (Progress()->isVisible() ? " 1 " : " 0 ") +
               count(static_cast<QRadioButton*>(nullptr), &QWidget::isEnabled);
    }

    QProgressBar* Progress() const
    {
        return res::FindControl<QProgressBar>(m_window.get(), IDC_SCANPROGRESS);
    }

    QTemporaryDir m_dir;
};

// Media files are appended, list files read in their place. The first new row is marked, or the
// row selected before keeps the mark. Names that are no readable list add nothing at once (a FIFO
// or a device must not block); a list kind that is recognised but not read adds nothing.
TEST_F(PlayListFilesTest, AddFileAppendsMediaReadsListsAndMarksAsAPersonExpects)
{
    Write(QStringLiteral("list.m3u"), "#EXTM3U\r\n#EXTINF:5,X\r\nx.avi\r\ny.avi\r\n");
    Write(QStringLiteral("list.PLS"), "[playlist]\nFile1=/b.avi\nTitle1=B\nLength1=7\n");
    ASSERT_EQ(::mkfifo(QFile::encodeName(m_dir.filePath("fifo.m3u")).constData(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(m_dir.filePath("zero.pls")).constData()), 0);
    QDir().mkpath(m_dir.filePath(QStringLiteral("folder.m3u")));
    ASSERT_TRUE(QFile(Write(QStringLiteral("huge.m3u"), "/a.avi\n")).resize(2LL << 30));
    Write(QStringLiteral("headless.pls"), "File1=/a.avi\n");
    Write(QStringLiteral("disc.CUE"), "FILE \"a.avi\" BINARY\n");
    Write(QStringLiteral("empty.m3u"), "");
    // Each case: the row clicked before (-1: none), the files chosen, the rows, the changes told.
    const std::tuple<int, QStringList, Texts, std::size_t> cases[] = {
        {-1, {"a.avi", "b.mpg", "c.divx"}, {"0||P", "a||M", "b||P", "c||P"}, 1},
        {-1, {"list.m3u"}, {"0||P", "x|0:05|M", "y||P"}, 2},
        {0, {"a.avi", "list.PLS", "c.avi"}, {"0||M", "a||P", "b|0:07|P", "c||P"}, 2},
        {-1,
         {"fifo.m3u", "zero.pls", "folder.m3u", "missing.m3u", "huge.m3u", "headless.pls"},
         {"0||P"},
         1},
        {-1, {"disc.CUE", "empty.m3u"}, {"0||P"}, 3},
    };
    for (const auto& [selected, files, rows, changes] : cases) {
        m_window = std::make_unique<CPlayList>();
        m_window->show();
        m_window->AddFileEntry(QStringLiteral("/0.avi"), QString(), -1.0);
        if (selected >= 0) {
            ClickRow(selected);
        }
        m_sent.clear();
        QStringList paths;
        for (const QString& file : files) {
            paths.append(m_dir.filePath(file));
        }
        CUserDialogs::SetNextFileName(paths.join(QLatin1Char('\n')));
        ClickButton(IDC_ADDFILE);
        EXPECT_EQ(Rows(), rows) << paths.join(' ').toStdString();
        EXPECT_EQ(m_sent, Numbers(changes, WM_PLAYLIST_CHANGED)) << paths.join(' ').toStdString();
    }
}

// Only media files, whatever the letter case, hidden ones included; links to folders are not
// followed, neither one back up the tree nor one beside it. A name that is no UTF-8 keeps its
// bytes. While the paths go in, the progress bar stands in for the buttons; every button comes
// back, also after a folder without media.
TEST_F(PlayListFilesTest, AFolderScanInsertsItsMediaFilesInPathOrderAfterTheEarlierEntries)
{
    const QString root = m_dir.filePath(QStringLiteral("tree"));
    for (const char* name :
         {"b.avi", "A.MPG", "clip.MPEG", ".hidden.avi", "sub/c.divx", "sub/.hid/d.avi",
          "readme.txt", "noext", "x.a", "x.mp", "list.m3u", "e.avi.txt", "dir.avi/f.mp4"}) {
        Write(QStringLiteral("tree/") + QLatin1String(name));
    }
    Write(QStringLiteral("outside/o.avi"));
    for (const auto& [target, name] :
         {std::pair{"..", "sub/loop"}, {"../../outside", "sub/beside"}, {"b.avi", "link.avi"}}) {
        ASSERT_EQ(::symlink(target, QFile::encodeName(root + '/' + name).constData()), 0);
    }
    QDir().mkpath(m_dir.filePath(QStringLiteral("empty")));
    AddEntries({-1.0});
    m_window->AddFileEntry(root + QStringLiteral("/0.avi"), QString(), -1.0); // would sort first

    CUserDialogs::SetNextFileName(root);
    ClickButton(IDC_ADDFOLDER);
    EXPECT_EQ(ScanControls(), "0 1 0");
    EXPECT_EQ(Progress()->maximum(), 7);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Progress()->isVisible(); }, 20000));
    ASSERT_TRUE(WaitForAllRows());
    EXPECT_EQ(ScanControls(), "7 0 3");

    EXPECT_EQ(Rows(), (Texts{"clip0||P", "0||P", ".hidden||P", "A||P", "b||P", "clip||P", "link||P",
                             "d||P", "c||P"}));

    CUserDialogs::SetNextFileName(m_dir.filePath(QStringLiteral("empty")));
    ClickButton(IDC_ADDFOLDER);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Progress()->isVisible(); }, 20000));
    EXPECT_EQ(ScanControls(), "7 0 3");
    EXPECT_EQ(m_window->Tracks().size(), 9u);
    EXPECT_EQ(m_sent, Numbers{});
}

// Dropped local names are appended as they are, in drop order, never marked, and a list file is
// an entry, not read; other URLs are left out. The drop is a copy even where the source proposes a
// move (a move would have the source delete the files), and is handled once the list's posted
// message arrives.
TEST_F(PlayListFilesTest, DroppedFilesAreAppendedAsCopiesInDropOrder)
{
    AddEntries({1.0});
    const QString list = Write(QStringLiteral("z #1.pls"), "[playlist]\nFile1=/x.avi\n");
    const QString clip = Write(QStringLiteral("a.avi"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(list), QUrl(QStringLiteral("https://example.org/r.avi")),
                  QUrl::fromLocalFile(clip)});
    QWidget* viewport = List()->viewport();
    const QPointF point = viewport->rect().center();
    QDragEnterEvent enter(point.toPoint(), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          {});
    enter.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(viewport, &enter);
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    QDropEvent drop(point, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    drop.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(viewport, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    EXPECT_EQ(m_window->Tracks().size(), 1u) << "handled before the posted message arrived";

    EXPECT_TRUE(QTest::qWaitFor([&] { return List()->GetItemCount() == 3; }, 5000));
    EXPECT_EQ(Rows(), (Texts{"clip0|0:01|P", "z #1||P", "a||P"}));
    EXPECT_EQ(List()->GetSelectionMark(), -1);
    EXPECT_EQ(m_sent, Numbers{});
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(List()->GetItemCount(), 3) << "the drop was handled twice";
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
        {"list.txt", {}, {}},
        {"missing/list.m3u", {}, {error}},
    };
    for (const auto& [name, written, asked] : cases) {
        ClickButton(IDC_SHOWPATH);
        ASSERT_EQ(List()->GetItemCount(), 0);
        const QString target = m_dir.filePath(QLatin1String(name));
        CUserDialogs::SetNextFileName(target);
        CUserDialogs::SetNextAnswer(QMessageBox::Ok);
        ClickButton(IDC_SAVE);
        EXPECT_EQ(m_window->windowTitle(), target);
        QFile file(target);
        EXPECT_EQ(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(), written) << name;
        EXPECT_EQ(CUserDialogs::TakeAskedTexts(), asked) << name;
    }
    EXPECT_EQ(m_window->Tracks()[0]->strTitle, QStringLiteral("Tagged Title"));
    EXPECT_EQ(m_sent, Numbers{});
}

// Find marks the next matching row below the mark, ignoring case (Unicode folding included),
// without wrapping around; it searches what the rows show.
TEST_F(PlayListFilesTest, FindMarksTheNextMatchingRowBelowTheMark)
{
    for (const char* name :
         {"v/clip", "v/Holiday", "v/holiday2", "w/\u00e9t\u00e9", "w/Stra\u00dfe"}) {
        m_window->AddFileEntry(QStringLiteral("/%1.avi").arg(QString::fromUtf8(name)), {}, -1.0);
    }
    // Each case: the rows' show mode (rebuilding them leaves no mark), the text, the mark after
    // each press.
    const std::tuple<int, const char*, std::vector<int>> cases[] = {
        {IDC_SHOWFILENAME, "HOLIDAY", {1, 2, 2}}, {IDC_SHOWFILENAME, "", {0, 1, 2, 3, 4, 4}},
        {IDC_SHOWFILENAME, "/v/", {-1}},          {IDC_SHOWPATH, "/V/", {0, 1, 2, 2}},
        {IDC_SHOWFILENAME, "STRASSE", {4}},
    };
    auto* find = res::FindControl<CTavEdit>(m_window.get(), IDC_FINDTEXT);
    for (const auto& [show, text, expected] : cases) {
        ClickButton(show);
        ASSERT_TRUE(WaitForAllRows());
        find->setText(QString::fromUtf8(text));
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
