#pragma once

#include "playback/GstHandle.h"

// A task pool for pipelines that must run at the priority of the thread that measures them.
// GStreamer's default pool takes its threads from GLib's process-wide pool, whose threads serve
// every pipeline of the process in turn: a measuring pipeline would run at the player's
// priority, and the player's at a lowered one if the loader had made those threads. This pool
// keeps threads of its own: each is started by the thread that needs one (so it inherits that
// thread's nice value) and waits for the next task once its task has ended. There is no limit
// on their number, so a file with many streams never waits for a free thread. Once the pool is
// gone its threads end as soon as they are idle. Null when the type cannot be made.
GstObject* NewThreadTaskPool();
