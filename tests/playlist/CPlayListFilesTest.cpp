// Adding files, lists and folders, dropping files, saving and Find, through the window's buttons.

#include "PlayListFixture.h"
#include "common/AppMessages.h"
#include "controls/CTavEdit.h"
#include "playlist/PlayListIO.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QProgressBar>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QUrl>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kButtonIds[] = {IDC_ADDFILE, IDC_ADDFOLDER, IDC_DELETEALL, IDC_DELETE,
                              IDC_SAVE,    IDC_MOVEDOWN,  IDC_MOVEUP};

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

    void Reopen()
    {
        m_window = std::make_unique<CPlayList>();
        m_window->show();
        m_sent.clear();
    }

    Texts Paths(std::size_t from = 0) const
    {
        Texts paths;
        for (std::size_t i = from; i < m_window->Tracks().size(); ++i) {
            paths.push_back(m_window->Tracks()[i]->strPath.toStdString());
        }
        return paths;
    }

    // "+ Folder" on the folder; returns once the scan has put its buttons back.
    void ScanAndWait(const QString& folder)
    {
        CUserDialogs::SetNextFileName(folder);
        ClickButton(IDC_ADDFOLDER);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !Progress()->isVisible(); }, 20000));
        EXPECT_TRUE(WaitForAllRows());
    }

    QProgressBar* Progress() const
    {
        return res::FindControl<QProgressBar>(m_window.get(), IDC_SCANPROGRESS);
    }

    // Which of the seven buttons, the progress bar and the show buttons are there to use.
    std::string ScanControls() const
    {
        std::string state;
        for (const int id : kButtonIds) {
            state += res::FindControl<QWidget>(m_window.get(), id)->isVisible() ? 'B' : '-';
        }
        state += Progress()->isVisible() ? " P " : " - ";
        for (const int id : {IDC_SHOWFILENAME, IDC_SHOWPATH, IDC_SHOWTAG}) {
            state += res::FindControl<QWidget>(m_window.get(), id)->isEnabled() ? 'S' : '-';
        }
        return state;
    }

    QTemporaryDir m_dir;
};

struct AddCase
{
    const char* name;
    int nSelected; // row clicked before, -1 for none
    QStringList files;
    Texts rows;
    Numbers sent;
};

TEST_F(PlayListFilesTest, AddFileAppendsMediaReadsListsAndMarksAsAPersonExpects)
{
    Write(QStringLiteral("list.m3u"), "#EXTM3U\r\n#EXTINF:5,X\r\nx.avi\r\ny.avi\r\n");
    Write(QStringLiteral("list.PLS"), "[playlist]\nFile1=/b.avi\nTitle1=B\nLength1=7\n");
    const AddCase cases[] = {
        {"three media files, no row selected",
         -1,
         {"a.avi", "b.mpg", "c.divx"},
         {"clip0||P", "a||M", "b||P", "c||P"},
         {WM_PLAYLIST_CHANGED}},
        {"one list file",
         -1,
         {"list.m3u"},
         {"clip0||P", "x|0:05|M", "y||P"},
         {WM_PLAYLIST_CHANGED, WM_PLAYLIST_CHANGED}},
        {"media and a list after a selected row",
         0,
         {"a.avi", "list.PLS", "c.avi"},
         {"clip0||M", "a||P", "b|0:07|P", "c||P"},
         {WM_PLAYLIST_CHANGED, WM_PLAYLIST_CHANGED}},
        {"cancelled", 0, {}, {"clip0||M"}, {}},
    };
    for (const AddCase& c : cases) {
        Reopen();
        AddEntries({-1.0});
        if (c.nSelected >= 0) {
            ClickRow(c.nSelected);
        }
        m_sent.clear();
        QStringList paths;
        for (const QString& file : c.files) {
            paths.append(m_dir.filePath(file));
        }
        CUserDialogs::SetNextFileName(paths.join(QLatin1Char('\n')));
        ClickButton(IDC_ADDFILE);
        EXPECT_EQ(Rows(), c.rows) << c.name;
        EXPECT_EQ(m_sent, c.sent) << c.name;
    }
}

// Names that are no readable list add nothing and tell nobody, at once; a list kind that is
// recognised but not read adds nothing and tells the main window.
TEST_F(PlayListFilesTest, ListsThatCannotBeReadAddNothingAndNeverBlock)
{
    const QString fifo = m_dir.filePath(QStringLiteral("fifo.m3u"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString device = m_dir.filePath(QStringLiteral("zero.pls"));
    ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(device).constData()), 0);
    QDir().mkpath(m_dir.filePath(QStringLiteral("folder.m3u")));
    const std::pair<QString, Numbers> cases[] = {
        {fifo, {}},
        {device, {}},
        {m_dir.filePath(QStringLiteral("folder.m3u")), {}},
        {m_dir.filePath(QStringLiteral("missing.m3u")), {}},
        {Write(QStringLiteral("headless.pls"), "File1=/a.avi\n"), {}},
        {Write(QStringLiteral("disc.CUE"), "FILE \"a.avi\" BINARY\n"), {WM_PLAYLIST_CHANGED}},
        {Write(QStringLiteral("empty.m3u"), ""), {WM_PLAYLIST_CHANGED}},
    };
    for (const auto& [path, sent] : cases) {
        m_sent.clear();
        LoadPlayListFile(*m_window, path);
        EXPECT_EQ(m_window->Tracks().size(), 0u) << path.toStdString();
        EXPECT_EQ(m_sent, sent) << path.toStdString();
    }
}

TEST_F(PlayListFilesTest, AFolderScanInsertsItsMediaFilesInPathOrderAfterTheEarlierEntries)
{
    const QString root = m_dir.filePath(QStringLiteral("tree"));
    for (const char* name : {"b.avi", "A.MPG", "clip.MPEG", ".hidden.avi", "sub/c.divx",
                             "sub/.hid/d.avi", "readme.txt", "noext", "x.a", "x.mp", "list.m3u"}) {
        Write(QStringLiteral("tree/") + QLatin1String(name));
    }
    ASSERT_EQ(::symlink(QFile::encodeName(root).constData(),
                        QFile::encodeName(root + QStringLiteral("/sub/loop")).constData()),
              0);
    // Links to folders are not followed: neither one back up the tree nor one to a folder beside
    // it.
    Write(QStringLiteral("outside/o.avi"));
    ASSERT_EQ(::symlink("../../outside",
                        QFile::encodeName(root + QStringLiteral("/sub/beside")).constData()),
              0);
    ASSERT_EQ(::symlink("b.avi", QFile::encodeName(root + QStringLiteral("/link.avi")).constData()),
              0);
    AddEntries({-1.0});
    m_window->AddFileEntry(root + QStringLiteral("/0.avi"), QString(), -1.0); // would sort first

    CUserDialogs::SetNextFileName(root);
    ClickButton(IDC_ADDFOLDER);
    EXPECT_EQ(ScanControls(), "------- P ---");
    EXPECT_EQ(m_window->ScanQueueSize(), 7u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Progress()->isVisible(); }, 20000));
    EXPECT_TRUE(WaitForAllRows());
    EXPECT_EQ(ScanControls(), "BBBBBBB - SSS");

    const std::string r = root.toStdString();
    EXPECT_EQ(Paths(), (Texts{"/media/clip0.avi", r + "/0.avi", r + "/.hidden.avi", r + "/A.MPG",
                              r + "/b.avi", r + "/clip.MPEG", r + "/link.avi",
                              r + "/sub/.hid/d.avi", r + "/sub/c.divx"}));
    EXPECT_EQ(Rows().at(2), ".hidden||P");
    EXPECT_EQ(m_sent, Numbers{});
}

TEST_F(PlayListFilesTest, TheProgressBarCountsInsertedPathsAndEveryButtonComesBack)
{
    for (int i = 0; i < 200; ++i) {
        Write(QStringLiteral("many/%1.avi").arg(i));
    }
    QDir().mkpath(m_dir.filePath(QStringLiteral("empty")));

    CUserDialogs::SetNextFileName(m_dir.filePath(QStringLiteral("many")));
    ClickButton(IDC_ADDFOLDER);
    EXPECT_EQ(Progress()->maximum(), 200);
    EXPECT_EQ(Progress()->value(), 0);
    m_window->OnTimer(CPlayList::kScanInsertTimer);
    m_window->OnTimer(CPlayList::kScanProgressTimer);
    EXPECT_GT(Progress()->value(), 0);
    EXPECT_EQ(Progress()->value(), static_cast<int>(m_window->Tracks().size()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Progress()->isVisible(); }, 20000));
    EXPECT_TRUE(WaitForAllRows());
    EXPECT_EQ(m_window->Tracks().size(), 200u);

    // A folder without media: the bar for one tick, then all seven buttons, Delete included.
    ScanAndWait(m_dir.filePath(QStringLiteral("empty")));
    EXPECT_EQ(ScanControls(), "BBBBBBB - SSS");
    EXPECT_EQ(m_window->Tracks().size(), 200u);
}

// Dropped local names are appended as they are, in drop order, never marked, and a list file is
// an entry, not read; other URLs are left out. The drop is a copy even where the source proposes a
// move, and is handled once the list's posted message arrives.
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

struct SaveCase
{
    const char* name;
    QString answer; // relative to the test folder; empty: cancel
    QByteArray written;
    QStringList asked;
};

TEST_F(PlayListFilesTest, SaveWritesTheRowsByExtensionWithTitlesFromTags)
{
    QByteArray tagged(200, '\0');
    tagged.replace(200 - 128, 16, "TAGTagged Title\0", 16);
    const QString clip = Write(QStringLiteral("clip.avi"), tagged);
    m_window->AddFileEntry(clip, QStringLiteral("old"), -1.0);
    m_window->AddFileEntry(QStringLiteral("/media/b.avi"), QStringLiteral("B"), 65.9);
    const QByteArray path = clip.toUtf8();
    const QString caption = QGuiApplication::applicationDisplayName();
    const SaveCase cases[] = {
        {"m3u",
         "list.m3u",
         "#EXTM3U\r\n#EXTINF:-1,Tagged Title\r\n" + path + "\r\n#EXTINF:65,B\r\n/media/b.avi\r\n",
         {}},
        {"upper-case pls",
         "LIST.PLS",
         "[playlist]\r\nFile1=" + path +
             "\r\nTitle1=Tagged Title\r\nLength1=-1\r\n"
             "File2=/media/b.avi\r\nTitle2=B\r\nLength2=65\r\nNumberOfEntries=2\r\nVersion=2\r\n",
         {}},
        {"other extension", "list.txt", {}, {}},
        {"folder missing",
         "missing/list.m3u",
         {},
         {caption + QStringLiteral(": File Write Error")}},
    };
    for (const SaveCase& c : cases) {
        const QString target = m_dir.filePath(c.answer);
        CUserDialogs::SetNextFileName(target);
        for (qsizetype i = 0; i < c.asked.size(); ++i) {
            CUserDialogs::SetNextAnswer(QMessageBox::Ok);
        }
        ClickButton(IDC_SAVE);
        EXPECT_EQ(m_window->windowTitle(), target) << c.name;
        QFile file(target);
        EXPECT_EQ(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(), c.written)
            << c.name;
        EXPECT_EQ(CUserDialogs::TakeAskedTexts(), c.asked) << c.name;
    }
    EXPECT_EQ(m_window->Tracks()[0]->strTitle, QStringLiteral("Tagged Title"));

    CUserDialogs::SetNextFileName(QString());
    ClickButton(IDC_SAVE);
    EXPECT_EQ(m_window->windowTitle(), m_dir.filePath(QStringLiteral("missing/list.m3u")));
    EXPECT_EQ(m_sent, Numbers{});
}

struct FindCase
{
    const char* name;
    int nShowId;
    int nStart; // the selection mark before the first press
    QString text;
    std::vector<int> marks; // the selection mark after each press
};

TEST_F(PlayListFilesTest, FindMarksTheNextMatchingRowBelowTheMarkIgnoringCaseWithoutWrapping)
{
    for (const QString& path :
         {QStringLiteral("/v/clip.avi"), QStringLiteral("/v/Holiday.avi"),
          QStringLiteral("/v/holiday2.avi"), QStringLiteral("/w/\u00e9t\u00e9.avi"),
          QStringLiteral("/w/Stra\u00dfe.avi")}) {
        m_window->AddFileEntry(path, QString(), -1.0);
    }
    const FindCase cases[] = {
        {"the example", IDC_SHOWFILENAME, -1, "day", {1, 2, 2}},
        {"upper case finds both", IDC_SHOWFILENAME, -1, "HOLIDAY", {1, 2}},
        {"no wrap-around", IDC_SHOWFILENAME, 2, "clip", {2}},
        {"empty text walks down", IDC_SHOWFILENAME, -1, "", {0, 1, 2, 3, 4, 4}},
        {"a folder under File Name", IDC_SHOWFILENAME, -1, "/v/", {-1}},
        {"a folder under Path", IDC_SHOWPATH, -1, "/V/", {0, 1, 2, 2}},
        {"accented capitals", IDC_SHOWFILENAME, -1, QStringLiteral("\u00c9T\u00c9"), {3}},
        {"sharp s folds to ss", IDC_SHOWFILENAME, -1, "STRASSE", {4}},
    };
    auto* find = res::FindControl<CTavEdit>(m_window.get(), IDC_FINDTEXT);
    for (const FindCase& c : cases) {
        res::FindControl<QRadioButton>(m_window.get(), c.nShowId)->click();
        ASSERT_TRUE(WaitForAllRows());
        if (c.nStart >= 0) {
            m_window->MarkEntry(c.nStart);
        }
        find->setText(c.text);
        std::vector<int> marks;
        for (std::size_t press = 0; press < c.marks.size(); ++press) {
            ClickButton(IDC_FINDNEXT);
            marks.push_back(List()->GetSelectionMark());
        }
        EXPECT_EQ(marks, c.marks) << c.name;
    }
    EXPECT_EQ(m_sent, Numbers{});
}

} // namespace
