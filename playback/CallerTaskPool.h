#pragma once

#include "playback/GstHandle.h"

// A task pool whose threads are started by the thread that starts the task, one new thread per
// task, so that they run at that thread's priority. GStreamer's default pool takes its threads
// from GLib's process-wide pool, whose threads serve every pipeline in turn: a measuring
// pipeline must not run at the player's priority, and the player's must not inherit a lowered
// one. Null when the type cannot be made.
GstObject* NewCallerTaskPool();
