// The track length loader on generated files, with the real playlist window asking for the
// lengths and a stand-in for the main window handing each report to it.

#include "playback/TrackLengthLoader.h"

#include "../playlist/PlayListFixture.h"
#include "HangingFormat.h"
#include "TestMedia.h"
#include "common/AppMessages.h"
#include "playback/GraphCore.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

constexpr int kBound = 30000; // ms

class LoaderTest : public PlayListTest
{
protected:
    void TearDown() override
    {
        m_loader.Stop();
        m_holdMessages = false;
        PlayListTest::TearDown();
    }

    // The main window's part: the report goes to the playlist window. Holding its messages, it
    // takes none (it is busy elsewhere), and the report stays unhandled.
    bool event(QEvent* event) override
    {
        if (m_holdMessages) {
            return m_messageHeld = true;
        }
        if (event->type() != CAppMessageEvent::EventType()) {
            return QObject::event(event);
        }
        if (static_cast<CAppMessageEvent*>(event)->Message() == WM_TRACK_LENGTH_LOADED) {
            m_reports.push_back(g_strLengthPath.toStdString());
            m_window->OnTrackLengthLoaded();
        }
        return true;
    }

    QTemporaryDir m_dir;
    CTrackLengthLoader m_loader;
    Texts m_reports; // the paths reported, in turn
    bool m_holdMessages = false;
    bool m_messageHeld = false;
};

bool IsOpenInThisProcess(const QString& path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    for (const QString& name :
         descriptors.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (QFileInfo(descriptors.filePath(name)).symLinkTarget() == target) {
            return true;
        }
    }
    return false;
}

// One file after the other in the loader's one graph, each row gets its own length: after a
// measured file, after one refused, and after one that never gets ready, which is given up in
// bounded time. A file is held only while it is measured (its folder can be unmounted).
TEST_F(LoaderTest, EachRowGetsItsOwnLengthInTurnAndNoFileStaysOpen)
{
    const QString hanging = WriteHangingFile(m_dir.path());
    ASSERT_FALSE(hanging.isEmpty());
    const QString paths[] = {TestMediaPath(TestClip::Avi), hanging,
                             TestMediaPath(TestClip::VideoOnly), TestMediaPath(TestClip::NotMedia),
                             TestMediaPath(TestClip::AudioOnly)};
    for (const QString& path : paths) {
        m_window->AddFileEntry(path, QString(), -1.0);
    }
    m_loader.Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_reports.size() == std::size(paths); }, kBound));
    Texts times;
    for (int row = 0; row < List()->GetItemCount(); ++row) {
        times.push_back(List()->GetItemText(row, 1).toStdString());
    }
    EXPECT_EQ(times, (Texts{"0:03", "???", "0:01", "???", "0:03"}));
    for (const QString& path : paths) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !IsOpenInThisProcess(path); }, kBound))
            << path.toStdString();
    }
}

// The OK path stops the loader before the event goes. Whatever it is doing, it stops without
// waiting out a render's time-out, and nothing is reported afterwards.
TEST_F(LoaderTest, StopIsPromptInEveryStateAndNothingIsReportedAfterIt)
{
    const QString hanging = WriteHangingFile(m_dir.path());
    ASSERT_FALSE(hanging.isEmpty());
    const struct
    {
        const char* what;
        QString path; // empty: no request
        bool hold;
    } cases[] = {
        {"waiting for a path", QString(), false},
        {"measuring a file that never gets ready", hanging, false},
        {"its report not yet taken", TestMediaPath(TestClip::Avi), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_holdMessages = c.hold;
        m_messageHeld = false;
        // The request the playlist window makes, made before the start: a stop leaves the event
        // signalled, and the two count once.
        if (!c.path.isEmpty()) {
            g_strLengthPath = c.path;
            g_bLoaderBusy = 1;
            m_loaderEvent.Set();
        }
        m_loader.Start();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return c.hold ? m_messageHeld : c.path.isEmpty() || IsOpenInThisProcess(c.path);
            },
            kBound));
        const auto start = std::chrono::steady_clock::now();
        m_loader.Stop();
        EXPECT_LT(std::chrono::steady_clock::now() - start, CGraphCore::kRenderTimeout / 2);
        EXPECT_FALSE(m_loader.IsRunning());
        m_holdMessages = false;
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(m_reports, Texts{});
        g_bLoaderBusy = 0;
    }
}

} // namespace
