#pragma once

#include <gst/gst.h>

// Has the decoder in front of the queue before the video sink (playbin's "vqueue") decode in
// bursts while playing: once the queue holds kVideoQueueBurst pictures, the next one waits until
// the sink has taken all but kVideoQueueLow of them, then the decoder fills it up again in one go.
// A decoder woken for every picture pays for the wake-up each time (its caches and the processor's
// idle state); woken for a few at once it pays once. A decoder that cannot keep ahead never fills
// the queue, and then decodes as it did. Safe across flushes and state changes: the waiting is the
// queue's own.
inline constexpr guint kVideoQueueBurst = 5;
inline constexpr guint kVideoQueueLow = 1;

// Whether `element` is the queue before playbin's video sink.
bool IsVideoSinkQueue(GstElement* element);

void DecodeIntoQueueInBursts(GstElement* queue);
