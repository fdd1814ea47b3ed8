#include "PlaybackTestSupport.h"

#include "playback/GraphCore.h"

#include <QDir>
#include <QTest>
#include <glib.h>

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
    if (const auto seeking = graph->QueryMediaSeeking()) {
        seeking->GetDuration(&duration);
    }
    return duration;
}

HRESULT SeekTo(const GraphPtr& graph, REFERENCE_TIME target)
{
    return graph->QueryMediaSeeking()->SetPositions(&target, AM_SEEKING_AbsolutePositioning,
                                                    nullptr, AM_SEEKING_NoPositioning);
}

bool WaitForSettled(const GraphPtr& graph, std::chrono::milliseconds bound)
{
    return gst_element_get_state(graph->Core()->Pipeline(), nullptr, nullptr,
                                 static_cast<GstClockTime>(bound.count()) * GST_MSECOND) ==
           GST_STATE_CHANGE_SUCCESS;
}

std::vector<long> DrainEvents(const GraphPtr& graph)
{
    const auto events = graph->QueryMediaEventEx();
    std::vector<long> codes;
    long code = 0;
    LParam param1 = 0;
    LParam param2 = 0;
    while (events->GetEvent(&code, &param1, &param2, 0) == S_OK) {
        codes.push_back(code);
    }
    return codes;
}

int CountOpenFiles()
{
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).count());
}

int CountThreads()
{
    return static_cast<int>(QDir(QStringLiteral("/proc/self/task")).count());
}

int SettleThreads(int limit, std::chrono::milliseconds bound)
{
    (void)QTest::qWaitFor(
        [limit] {
            g_thread_pool_stop_unused_threads();
            return CountThreads() <= limit;
        },
        static_cast<int>(bound.count()));
    return CountThreads();
}
