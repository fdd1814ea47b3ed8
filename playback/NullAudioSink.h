#pragma once

#include "playback/GstHandle.h"

// Where a machine has nothing to play sound on. The sound is taken in time, so that it paces the
// stream and the position as a sound card would; but like a card, which takes its sound in
// periods, it waits on the clock at most once a tenth of a second of sound, where a sink that
// waits for each buffer wakes some fifty times a second, and everything upstream with it.
GstElementHandle MakeNullAudioSink();
