#include "playback/TrackLengthLoader.h"

#include "common/AppMessage.h"
#include "common/AppMessages.h"
#include "common/AutoResetEvent.h"
#include "common/Globals.h"
#include "playback/GraphCore.h"
#include "playback/MediaFramework.h"
#include "playback/RenderAbort.h"
#include "playback/SparePlaybin.h"
#include "playback/ThreadTaskPool.h"

#include <QMetaObject>

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr double kSecondsPerUnit = 1e-7;

// Lowers the calling thread's priority. Linux keeps a nice value per thread, and threads this
// one starts inherit it.
void LowerThreadPriority(int nIncrement)
{
    const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, tid);
    if (errno == 0) {
        ::setpriority(PRIO_PROCESS, tid, nice + nIncrement);
    }
}

// GLib's shared thread pool takes the scheduling settings of the thread that first makes one,
// and hands its threads to every pipeline of the process later on. Making one here, before the
// priority is lowered, keeps the player's own streaming threads from inheriting the lowered one
// when the loader happens to be the first to measure or play anything.
void FixSharedPoolPriority()
{
    GThreadPool* pool = g_thread_pool_new([](gpointer, gpointer) {}, nullptr, 1, FALSE, nullptr);
    if (pool != nullptr) {
        g_thread_pool_free(pool, TRUE, FALSE);
    }
}

} // namespace

// What the two threads share beyond the globals: the stop request and the state of the report
// in flight. It outlives the loader object, because a report the UI thread has not taken when
// the loader stops still refers to it.
struct CTrackLengthLoader::HandOver
{
    std::mutex mutex;
    std::condition_variable changed;
    bool bStop = false;
    unsigned nReportsHandled = 0;
};

CTrackLengthLoader::CTrackLengthLoader()
    : m_pHandOver(std::make_shared<HandOver>()), m_pAbort(std::make_shared<CRenderAbort>())
{}

CTrackLengthLoader::~CTrackLengthLoader()
{
    Stop();
}

void CTrackLengthLoader::Start()
{
    if (m_thread.joinable() || g_hTrackLengthEvent == nullptr) {
        return;
    }
    m_pEvent = g_hTrackLengthEvent;
    // A stopped loader may start again; what its last run shared stays with that run.
    m_pHandOver = std::make_shared<HandOver>();
    m_pAbort = std::make_shared<CRenderAbort>();
    m_thread = std::thread([this] { TrackLengthThread(); });
}

void CTrackLengthLoader::Stop()
{
    if (!m_thread.joinable()) {
        return;
    }
    {
        std::lock_guard lock(m_pHandOver->mutex);
        m_pHandOver->bStop = true;
    }
    m_pHandOver->changed.notify_all();
    // A measurement in progress gives up its wait for the file; one that has not started yet
    // fails at once.
    m_pAbort->Abort();
    // The thread may be waiting for a path: wake it. It checks the stop request first.
    m_pEvent->Set();
    m_thread.join();
}

int CTrackLengthLoader::TrackLengthThread()
{
    FixSharedPoolPriority();
    LowerThreadPriority(kBelowNormalNice);
    // Made after the priority is lowered: its threads inherit it.
    MediaFrameworkStartup();
    const std::unique_ptr<GstObject, GstObjectUnref> taskPool(NewThreadTaskPool());
    // Made and released on this thread; it outlives every graph rendered into it.
    const auto spare = std::make_shared<CSparePlaybin>();
    const auto stopping = [this] {
        std::lock_guard lock(m_pHandOver->mutex);
        return m_pHandOver->bStop;
    };
    for (;;) {
        m_pEvent->Wait();
        if (stopping()) {
            break;
        }
        g_bLoaderBusy.exchange(1);
        // The path stays as it is until the flag is lowered again; a copy keeps this thread's
        // use of it to itself all the same.
        const QString strPath = g_strLengthPath;
        std::shared_ptr<IGraphBuilder> pGraph = NewMeasuringGraph(m_pAbort, taskPool.get(), spare);
        const double dLength = MeasureTrackLength(pGraph.get(), strPath);
        if (stopping()) {
            break; // a measurement cut short is no measurement
        }
        g_dTrackLength = dLength;
        if (!ReportTrackLength()) {
            break;
        }
        g_bLoaderBusy.exchange(0);
        // Released only now, before the wait for the next path: bringing the playbin back to its
        // null state takes about as long as the window takes to ask again, and the two overlap.
        pGraph.reset();
    }
    return 0;
}

bool CTrackLengthLoader::ReportTrackLength()
{
    QObject* target = g_hMainWnd;
    if (target == nullptr) {
        return true;
    }
    // A blocking send that a stop request can end: the report is handled on the UI thread, and
    // this thread waits for that or for Stop, whichever comes first. (A plain blocking call
    // could not be given up: Stop, on the UI thread, would wait for this thread while this
    // thread waited for the UI thread.) The shared state is locked on both sides, which also
    // orders the length written here before the handler reads it, and the handler's reads
    // before anything this thread writes next.
    const std::shared_ptr<HandOver> handOver = m_pHandOver;
    unsigned nTicket = 0;
    {
        std::lock_guard lock(handOver->mutex);
        if (handOver->bStop) {
            return false;
        }
        nTicket = handOver->nReportsHandled + 1;
    }
    // The call travels through Qt's event queue, whose locking is its own: the call's data is
    // written and read under a lock of ours as well, so that every thread sees it whole.
    static std::mutex callMutex;
    std::unique_lock callLock(callMutex);
    QMetaObject::invokeMethod(
        target,
        [target, handOver] {
            {
                const std::lock_guard readLock(callMutex);
                // A loader that stopped has given its report up.
                std::lock_guard lock(handOver->mutex);
                if (handOver->bStop) {
                    return;
                }
            }
            SendAppMessage(target, WM_TRACK_LENGTH_LOADED);
            {
                std::lock_guard lock(handOver->mutex);
                ++handOver->nReportsHandled;
            }
            handOver->changed.notify_all();
        },
        Qt::QueuedConnection);
    callLock.unlock();
    std::unique_lock lock(handOver->mutex);
    handOver->changed.wait(lock,
                           [&] { return handOver->bStop || handOver->nReportsHandled >= nTicket; });
    return handOver->nReportsHandled >= nTicket;
}

std::shared_ptr<IGraphBuilder>
CTrackLengthLoader::NewMeasuringGraph(const std::shared_ptr<CRenderAbort>& abort,
                                      GstObject* taskPool,
                                      const std::shared_ptr<CSparePlaybin>& spare)
{
    std::shared_ptr<IGraphBuilder> pGraph = IGraphBuilder::Create();
    if (pGraph) {
        pGraph->Core()->MeasureOnly(abort, taskPool, spare);
    }
    return pGraph;
}

double CTrackLengthLoader::MeasureTrackLength(IGraphBuilder* pGraph, const QString& strPath)
{
    // Exactly S_OK, as for playing: a partial render is a refusal.
    if (pGraph == nullptr || pGraph->RenderFile(strPath) != S_OK) {
        return -1.0;
    }
    const std::shared_ptr<IMediaSeeking> pSeeking = pGraph->QueryMediaSeeking();
    REFERENCE_TIME duration = 0;
    if (!pSeeking || Failed(pSeeking->GetDuration(&duration))) {
        return -1.0; // it would play, but for how long cannot be told: shown as not measurable
    }
    return static_cast<double>(duration) * kSecondsPerUnit;
}
