#pragma once

// H.264 video and AAC sound decoded by libavcodec itself, opened the first time such a stream
// starts to decode. They are libav's own decoders, so pictures and sound are the same as those of
// GStreamer's libav plugin; but that plugin also brings in libavformat and libavfilter, whose
// hundred-odd further libraries double the load before the first picture of the most common kind
// of file (some 100 ms here, and more than 20 MB). These two stand just above the plugin's
// decoders for their formats, which stay the next choice: where libavcodec cannot be opened, a
// stream goes on to them. Ranks given in GST_PLUGIN_FEATURE_RANK are left alone: these two are
// then not offered at all. Once, after GStreamer has started.
void RegisterAvcodecDecoders();
