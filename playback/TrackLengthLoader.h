#pragma once

#include <QString>

#include <memory>
#include <stop_token>
#include <thread>

typedef struct _GstObject GstObject;
class CAutoResetEvent;
class CRenderAbort;
class CSparePlaybin;
class IGraphBuilder;

// The track length loader: a thread of its own that measures one media file at a time and
// reports each result to the main window, by the hand-over of TrackLengthHandOver.h.
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
    int TrackLengthThread(std::stop_token stop);

    CAutoResetEvent* m_pEvent = nullptr; // g_hTrackLengthEvent when the thread started
    std::shared_ptr<CRenderAbort> m_pAbort;
    std::jthread m_thread;
};
