#pragma once

#include "TestMedia.h"
#include "playback/MediaFramework.h"

#include <chrono>
#include <memory>
#include <vector>

// What a test needs around the media layer: clips opened into graphs, times and events read from
// them, and the process's open files and threads.

using GraphPtr = std::shared_ptr<IGraphBuilder>;

struct OpenedClip
{
    GraphPtr graph; // kept also when rendering failed
    HRESULT hr = E_FAIL;
};

OpenedClip OpenFile(const QString& path);
inline OpenedClip OpenClip(TestClip clip)
{
    return OpenFile(TestMediaPath(clip));
}

inline constexpr REFERENCE_TIME kUnitsPerSecond = 10'000'000;
inline constexpr REFERENCE_TIME kClipLength = kTestClipSeconds * kUnitsPerSecond;
inline constexpr REFERENCE_TIME kOneFrame = kUnitsPerSecond / kTestClipFps;

// In 100 ns units of a rendered graph; -1 when it cannot tell (the duration also when nothing
// was rendered).
REFERENCE_TIME Position(const GraphPtr& graph);
REFERENCE_TIME Duration(const GraphPtr& graph);
HRESULT SeekTo(const GraphPtr& graph, REFERENCE_TIME target);
// Waits (bounded) until the pipeline has finished its last state change or seek.
bool WaitForSettled(const GraphPtr& graph, std::chrono::milliseconds bound);
// Pops every queued event; their codes in order.
std::vector<long> DrainEvents(const GraphPtr& graph);

// Entries of /proc/self/fd and /proc/self/task, for comparing one moment with another.
int CountOpenFiles();
int CountThreads();
// Lets GLib end the worker threads it keeps idle for reuse and waits (bounded) until at most
// `limit` threads are left. Returns the count reached.
int SettleThreads(int limit, std::chrono::milliseconds bound);
