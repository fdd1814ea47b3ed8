#pragma once

#include "common/Result.h"
#include "playback/GraphEvents.h"
#include "playback/GstHandle.h"
#include "playback/VideoOverlay.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

// The bus sync handler of one pipeline. It runs on whichever thread posts a message and does only
// what must happen there: it answers the video sink's request for a window, notes how prerolling
// goes (done, an error, a missing plugin) for the thread that waits on it, and, once the graph is
// armed, turns the end of the stream and errors into graph events. Every message is dropped after
// that, so nothing piles up on a bus that nobody reads.
class CBusWatch
{
public:
    struct Preroll
    {
        bool bDone = false;          // the pipeline finished its state change to paused
        HRESULT error = S_OK;        // the first error, mapped to a result code
        bool bMissingPlugin = false; // some stream found no decoder
    };

    // Installs the handler on the pipeline's bus; it keeps the returned object alive until it is
    // removed again.
    static std::shared_ptr<CBusWatch> Install(GstElement* pipeline,
                                              std::shared_ptr<CGraphEvents> events,
                                              std::shared_ptr<CVideoOverlay> overlay);
    // Removes the handler and drops whatever is left on the bus.
    void Uninstall();

    // Waits until prerolling is over (done or failed) or the deadline passes.
    Preroll WaitForPreroll(std::chrono::steady_clock::time_point deadline);
    Preroll PrerollState() const;
    // The pipeline's streaming tasks run on threads of this pool (null: GStreamer's default).
    // Before the pipeline leaves its null state.
    void UseTaskPool(GstObject* pool);
    // Ends a wait for prerolling from another thread: prerolling counts as failed with E_ABORT.
    void Abort();
    // The graph is in use: from now on the end of the stream and errors are events. Returns the
    // error seen before, if any, so that none falls between the two.
    HRESULT Arm();

    // A flushing seek to that position is on its way; until the pipeline has prerolled there again
    // the position to report is the target, not the last one shown.
    void BeginSeek(gint64 positionNs);
    void EndSeek();
    std::optional<gint64> PendingSeek() const;

    CBusWatch(GstElement* pipeline, std::shared_ptr<CGraphEvents> events,
              std::shared_ptr<CVideoOverlay> overlay);

private:
    static GstBusSyncReply OnSyncMessage(GstBus* bus, GstMessage* message, gpointer data);
    void Handle(GstMessage* message);
    void OnError(GstMessage* message);
    void OnStreamStatus(GstMessage* message);

    GstBusHandle m_bus;
    GstElement* m_pPipeline; // identity only: which messages are the pipeline's own
    std::shared_ptr<CGraphEvents> m_events;
    std::shared_ptr<CVideoOverlay> m_overlay;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    Preroll m_preroll;
    bool m_bArmed = false;
    std::optional<gint64> m_pendingSeek;
    std::unique_ptr<GstObject, GstObjectUnref> m_taskPool;
};
