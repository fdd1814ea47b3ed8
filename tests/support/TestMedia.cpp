#include "TestMedia.h"

#include <QDir>
#include <QTest>
#include <glib.h>

QString TestMediaPath(TestClip clip)
{
    static const QString names[kTestClipCount] = {
        QStringLiteral("clip.avi"),
        QStringLiteral("video-only-1s.avi"),
        QStringLiteral("audio-only.wav"),
        QStringLiteral("clip.mpg"),
        QStringLiteral("no-video-decoder.avi"),
        QStringLiteral("truncated.avi"),
        QStringLiteral("not-media.avi"),
        QStringLiteral("empty.avi"),
        QString::fromUtf8("clip with spaces #1 100% Ünïcødé.avi"),
    };
    return QStringLiteral(VESSA_TEST_MEDIA_DIR "/") + names[static_cast<int>(clip)];
}

OpenedClip OpenFile(const QString& path)
{
    OpenedClip opened{IGraphBuilder::Create()};
    opened.hr = opened.graph->RenderFile(path);
    return opened;
}

REFERENCE_TIME Position(const GraphPtr& graph)
{
    REFERENCE_TIME position = -1;
    graph->QueryMediaSeeking()->GetCurrentPosition(&position);
    return position;
}

REFERENCE_TIME Duration(const GraphPtr& graph)
{
    REFERENCE_TIME duration = -1;
    graph->QueryMediaSeeking()->GetDuration(&duration);
    return duration;
}

HRESULT SeekTo(const GraphPtr& graph, REFERENCE_TIME target)
{
    return graph->QueryMediaSeeking()->SetPositions(&target, AM_SEEKING_AbsolutePositioning,
                                                    nullptr, AM_SEEKING_NoPositioning);
}

std::vector<long> DrainEvents(const GraphPtr& graph)
{
    std::vector<long> codes;
    long code = 0;
    LParam param = 0;
    while (graph->QueryMediaEventEx()->GetEvent(&code, &param, &param, 0) == S_OK) {
        codes.push_back(code);
    }
    return codes;
}

int CountOpenFiles()
{
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).count());
}

int SettleThreads(int limit, int boundMs)
{
    const auto count = [] {
        return static_cast<int>(QDir(QStringLiteral("/proc/self/task")).count());
    };
    (void)QTest::qWaitFor(
        [&] {
            g_thread_pool_stop_unused_threads();
            return count() <= limit;
        },
        boundMs);
    return count();
}
