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
#include "playback/TrackLengthHandOver.h"

#include <cerrno>
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

CTrackLengthLoader::CTrackLengthLoader() : m_pAbort(std::make_shared<CRenderAbort>()) {}

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
    // A stopped loader may start again; its last run's abort stays with that run.
    m_pAbort = std::make_shared<CRenderAbort>();
    m_thread = std::jthread([this](std::stop_token stop) { TrackLengthThread(std::move(stop)); });
}

void CTrackLengthLoader::Stop()
{
    if (!m_thread.joinable()) {
        return;
    }
    // Also ends the wait for a report the UI thread has not taken yet.
    m_thread.request_stop();
    // A measurement in progress gives up its wait for the file; one that has not started yet
    // fails at once.
    m_pAbort->Abort();
    // The thread may be waiting for a path: wake it. It checks the stop request first.
    m_pEvent->Set();
    m_thread.join();
}

int CTrackLengthLoader::TrackLengthThread(std::stop_token stop)
{
    FixSharedPoolPriority();
    LowerThreadPriority(kBelowNormalNice);
    // Made after the priority is lowered: its threads inherit it.
    MediaFrameworkStartup();
    const std::unique_ptr<GstObject, GstObjectUnref> taskPool(NewThreadTaskPool());
    // Made and released on this thread; it outlives every graph rendered into it.
    const auto spare = std::make_shared<CSparePlaybin>();
    for (;;) {
        m_pEvent->Wait();
        if (stop.stop_requested()) {
            break;
        }
        g_bLoaderBusy.exchange(1);
        // The path stays as it is until the flag is lowered again; a copy keeps this thread's
        // use of it to itself all the same.
        const QString strPath = g_strLengthPath;
        std::shared_ptr<IGraphBuilder> pGraph = NewMeasuringGraph(m_pAbort, taskPool.get(), spare);
        const double dLength = MeasureTrackLength(pGraph.get(), strPath);
        if (stop.stop_requested()) {
            break; // a measurement cut short is no measurement
        }
        g_dTrackLength = dLength;
        // Stop, on the UI thread, waits for this thread: a report the UI thread has not taken by
        // then is given up rather than waited for.
        if (!SendAppMessageUnlessStopped(g_hMainWnd, WM_TRACK_LENGTH_LOADED, stop)) {
            break;
        }
        g_bLoaderBusy.exchange(0);
        // Released only now, before the wait for the next path: bringing the playbin back to its
        // null state takes about as long as the window takes to ask again, and the two overlap.
        pGraph.reset();
    }
    return 0;
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
