#include "PlaybackTestSupport.h"

#include "playback/GraphCore.h"

#include <QDir>
#include <QTest>
#include <glib.h>

OpenedClip OpenFile(const QString& path)
{
    OpenedClip opened;
    opened.graph = IGraphBuilder::Create();
    if (opened.graph != nullptr) {
        opened.hr = opened.graph->RenderFile(path);
    }
    return opened;
}

OpenedClip OpenClip(TestClip clip)
{
    return OpenFile(TestMediaPath(clip));
}

namespace {

int CountEntries(const char* folder)
{
    return static_cast<int>(QDir(QString::fromLatin1(folder))
                                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                                .size());
}

} // namespace

int CountOpenFiles()
{
    // The listing holds the folder open while it reads it; that one is not counted.
    return CountEntries("/proc/self/fd") - 1;
}

int CountThreads()
{
    return CountEntries("/proc/self/task");
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

REFERENCE_TIME Position(const std::shared_ptr<IGraphBuilder>& graph)
{
    REFERENCE_TIME position = -1;
    graph->QueryMediaSeeking()->GetCurrentPosition(&position);
    return position;
}

REFERENCE_TIME Duration(const std::shared_ptr<IGraphBuilder>& graph)
{
    REFERENCE_TIME duration = -1;
    graph->QueryMediaSeeking()->GetDuration(&duration);
    return duration;
}

bool WaitForSettled(const std::shared_ptr<IGraphBuilder>& graph, std::chrono::milliseconds bound)
{
    const GstClockTime timeout = static_cast<GstClockTime>(bound.count()) * GST_MSECOND;
    return gst_element_get_state(graph->Core()->Pipeline(), nullptr, nullptr, timeout) ==
           GST_STATE_CHANGE_SUCCESS;
}

std::vector<long> DrainEvents(const std::shared_ptr<IMediaEventEx>& events)
{
    std::vector<long> codes;
    long code = 0;
    LParam param1 = 0;
    LParam param2 = 0;
    while (events->GetEvent(&code, &param1, &param2, 0) == S_OK) {
        events->FreeEventParams(code, param1, param2);
        codes.push_back(code);
    }
    return codes;
}

bool CMessageCounter::event(QEvent* event)
{
    if (event->type() == CAppMessageEvent::EventType()) {
        auto* message = static_cast<CAppMessageEvent*>(event);
        if (message->Message() == m_nMessage) {
            ++m_nCount;
            m_lastLParam = message->LParameter();
        }
        return true;
    }
    return QObject::event(event);
}
