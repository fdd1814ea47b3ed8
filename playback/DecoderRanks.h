#pragma once

#include <gst/gst.h>

#include <initializer_list>

// Puts decoders that need no more than their own small library ahead of libav's decoders for the
// same formats, in this process only. The libav plugin brings in well over a hundred shared
// libraries when it is first used: a quarter of a second and some 40 MB before the first picture
// of a file whose streams another decoder plays just as well (MP3 and MP2 sound, MPEG-1 and MPEG-2
// video, the formats other players decode with the same libraries). libav's decoders stay
// where they were, the next choice. Ranks given in GST_PLUGIN_FEATURE_RANK are left as given.
// Once, after GStreamer has started.
void PreferLeanDecoders();

// A rank just above the highest of the named decoders' (primary where none is installed): for a
// decoder of the player's own that is tried before them, while they stay the next choice.
guint RankAbove(std::initializer_list<const char*> decoders);

// Registers a plugin of the player's own decoders in this process, once, after GStreamer has
// started. Ranks given in GST_PLUGIN_FEATURE_RANK are left alone: its decoders are then not offered
// at all.
void RegisterOwnDecoders(const char* name, const char* description, const char* license,
                         GstPluginInitFunc registerElements);
