#pragma once

#include <QString>

#include <memory>
#include <thread>

typedef struct _GstObject GstObject;
class CAutoResetEvent;
class CRenderAbort;
class CSparePlaybin;
class IGraphBuilder;

// The track length loader: a thread of its own that measures one media file at a time and
// reports each result to the main window. The playlist window hands it a path through the
// shared globals of Globals.h: it writes g_strLengthPath while g_bLoaderBusy reads 0, raises the
// flag and signals g_hTrackLengthEvent. The thread wakes, measures, writes g_dTrackLength, sends
// WM_TRACK_LENGTH_LOADED to g_hMainWnd and waits until it has been handled, then lowers the flag.
//
// It measures with the very render that opens a file for playing, with null sinks and no
// window: a file the player would refuse gets -1.0. It runs below normal priority, its streaming
// threads included. It keeps one playbin for its whole life and renders every file into it (a
// new one per file would cost more than the render itself). After the flag is lowered, and
// before it waits for the next path, that playbin goes back to its null state: no file, thread,
// decoder or sink of the last request stays. A file that leaves it in doubt (an error, a
// time-out, an abort) costs it: the next file gets a new one.
class CTrackLengthLoader
{
public:
    // How far the thread's nice value is raised above the one it starts with.
    static constexpr int kBelowNormalNice = 4;

    CTrackLengthLoader();
    // Stops the thread if it runs.
    ~CTrackLengthLoader();
    CTrackLengthLoader(const CTrackLengthLoader&) = delete;
    CTrackLengthLoader& operator=(const CTrackLengthLoader&) = delete;

    // Starts the thread (again after Stop); it waits on g_hTrackLengthEvent, which must exist until
    // Stop. UI thread, after g_hMainWnd is set.
    void Start();
    // Ends the thread and waits for it, promptly also in the middle of a measurement or of a
    // report the UI thread has not taken yet (that report is dropped). Nothing is reported after
    // Stop returns. UI thread.
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }

private:
    struct HandOver;

    // A graph that measures the way the loader does: null sinks, no window, `abort` can give its
    // render up, its streaming tasks run on threads of `taskPool` (null: GStreamer's own) and it
    // renders into the playbin `spare` keeps. Null when the media framework cannot start.
    static std::shared_ptr<IGraphBuilder>
    NewMeasuringGraph(const std::shared_ptr<CRenderAbort>& abort, GstObject* taskPool,
                      const std::shared_ptr<CSparePlaybin>& spare);
    // Renders the file into the graph and gives its length in seconds: -1.0 when the player
    // would not play it, when its length cannot be told, when the render was given up, or when
    // there is no graph. A file that renders stays open until the graph is released.
    static double MeasureTrackLength(IGraphBuilder* pGraph, const QString& strPath);
    // The thread procedure: waits, measures, reports, until stopped.
    int TrackLengthThread();
    // Sends the report and waits until the main window has handled it; false when stopped first.
    bool ReportTrackLength();

    CAutoResetEvent* m_pEvent = nullptr; // g_hTrackLengthEvent when the thread started
    std::shared_ptr<HandOver> m_pHandOver;
    std::shared_ptr<CRenderAbort> m_pAbort;
    std::thread m_thread;
};
