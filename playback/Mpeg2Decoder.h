#pragma once

// MPEG-1 and MPEG-2 video decoded by libmpeg2 straight into the pictures that go downstream.
// GStreamer's own libmpeg2 decoder keeps every picture mapped for writing while libmpeg2 may still
// predict from it, so each one is copied whole on its way out (a sixth of the decoding thread's
// time at 720p). Here a picture is mapped for writing only while it is being decoded: a picture
// that nothing predicts from goes out as it is, and a reference picture goes out sharing its
// memory. The decoder stands above GStreamer's MPEG video decoders, which stay the next choice.
// Ranks given in GST_PLUGIN_FEATURE_RANK are left alone: it is then not offered at all. Once, after
// GStreamer has started and the lean decoders have been preferred.
void RegisterMpeg2Decoder();
