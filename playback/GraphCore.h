#pragma once

#include "common/Result.h"
#include "playback/BusWatch.h"
#include "playback/GraphEvents.h"
#include "playback/GstHandle.h"
#include "playback/VideoOverlay.h"

#include <QString>

#include <chrono>
#include <memory>

class CRenderAbort;
class CSparePlaybin;

// The inside of one graph: its pipeline, the bus sync handler, the event queue and the video
// window state. The interfaces of MediaFramework.h are thin views on it.
//
// A graph is used from one thread at a time (the UI thread for playback, the length loader's
// thread for measuring; neither needs an event loop here). Only the bus sync handler runs on
// GStreamer's threads, and it touches only the event queue and the video window state.
class CGraphCore
{
public:
    // How long building a graph may take until its first picture is ready; a file that takes
    // longer is refused.
    static constexpr std::chrono::milliseconds kRenderTimeout{5000};

    CGraphCore();
    ~CGraphCore();
    CGraphCore(const CGraphCore&) = delete;
    CGraphCore& operator=(const CGraphCore&) = delete;

    // Builds a playbin for the file and prerolls it (see IGraphBuilder::RenderFile). A graph holds
    // one pipeline: a second render while one is in place is refused with E_UNEXPECTED.
    HRESULT RenderFile(const QString& path);

    // Makes this a graph that is only measured, never shown or heard: its sinks are null sinks
    // (no window, no sound device) with nothing to convert for them, `abort` (may be null) can
    // give the render up from another thread, and its streaming threads come from `taskPool`
    // (null: GStreamer's own). It renders into the playbin `spare` keeps (null: a new one) and
    // gives it back when it is released, unless the render ended in an error, a time-out or an
    // abort. Which files render is decided exactly as for any other graph. Before RenderFile.
    void MeasureOnly(std::shared_ptr<CRenderAbort> abort, GstObject* taskPool,
                     std::shared_ptr<CSparePlaybin> spare);

    // Takes over a pipeline built elsewhere (a capture preview: source -> convert -> video sink)
    // and brings it to paused as a rendered file is, with the same bounded wait; a live source
    // needs no preroll. The caller says which streams it carries. On failure the pipeline is gone.
    HRESULT RenderPipeline(GstElementHandle pipeline, bool hasVideo, bool hasAudio);

    bool IsRendered() const { return m_pipeline != nullptr; }
    bool HasVideo() const { return m_bHasVideo; }
    bool HasAudio() const { return m_bHasAudio; }
    // The pipeline itself (null before a render succeeded), for tests and builders.
    GstElement* Pipeline() const { return m_pipeline.get(); }

    HRESULT Run();
    HRESULT Stop();

    // Times in nanoseconds.
    HRESULT Duration(gint64* durationNs) const;
    HRESULT Position(gint64* positionNs) const;
    HRESULT Seek(gint64 positionNs);

    // Stream volume in decibels (0 full, negative quieter).
    HRESULT SetVolumeDb(double db);
    HRESULT VolumeDb(double* db) const;

    CVideoOverlay& Video() { return *m_overlay; }
    CGraphEvents& Events() { return *m_events; }

private:
    HRESULT Preroll(GstElementHandle pipeline);
    HRESULT WaitForPaused(std::chrono::steady_clock::time_point deadline);
    HRESULT Commit(bool hasVideo, bool hasAudio);
    void Teardown();

    std::shared_ptr<CGraphEvents> m_events;
    std::shared_ptr<CVideoOverlay> m_overlay;
    GstElementHandle m_pipeline;
    std::shared_ptr<CBusWatch> m_watch;
    bool m_bHasVideo = false;
    bool m_bHasAudio = false;
    bool m_bMeasureOnly = false;
    // The pipeline got ready (prerolled, or needed no preroll).
    bool m_bPrerolled = false;
    std::shared_ptr<CRenderAbort> m_abort;
    std::shared_ptr<CSparePlaybin> m_spare;
    std::unique_ptr<GstObject, GstObjectUnref> m_taskPool;
};
