#include "playback/DecoderRanks.h"

#include <gst/gst.h>

#include <algorithm>

namespace {

struct Preference
{
    const char* lean;
    const char* heavy;
};

// The lean decoder decodes everything the heavy one does for these formats: mpg123 all three
// MPEG audio layers, libmpeg2 MPEG-1 and MPEG-2 video in every chroma format.
constexpr Preference kPreferences[] = {
    {"mpg123audiodec", "avdec_mp3"},      {"mpg123audiodec", "avdec_mp2float"},
    {"mpg123audiodec", "avdec_mp1float"}, {"mpeg2dec", "avdec_mpeg2video"},
    {"mpeg2dec", "avdec_mpeg1video"},
};

GstPluginFeature* FindFeature(const char* name)
{
    return gst_registry_lookup_feature(gst_registry_get(), name);
}

} // namespace

void PreferLeanDecoders()
{
    if (g_getenv("GST_PLUGIN_FEATURE_RANK") != nullptr) {
        return; // someone chose the ranks for this run
    }
    for (const Preference& preference : kPreferences) {
        GstPluginFeature* lean = FindFeature(preference.lean);
        GstPluginFeature* heavy = FindFeature(preference.heavy);
        if (lean != nullptr && heavy != nullptr) {
            const guint above = gst_plugin_feature_get_rank(heavy) + 1;
            gst_plugin_feature_set_rank(lean, std::max(gst_plugin_feature_get_rank(lean), above));
        }
        if (lean != nullptr) {
            gst_object_unref(lean);
        }
        if (heavy != nullptr) {
            gst_object_unref(heavy);
        }
    }
}

guint RankAbove(std::initializer_list<const char*> decoders)
{
    guint rank = GST_RANK_PRIMARY;
    for (const char* name : decoders) {
        GstPluginFeature* other = FindFeature(name);
        if (other != nullptr) {
            rank = std::max(rank, gst_plugin_feature_get_rank(other) + 1);
            gst_object_unref(other);
        }
    }
    return rank;
}

void RegisterOwnDecoders(const char* name, const char* description, const char* license,
                         GstPluginInitFunc registerElements)
{
    if (g_getenv("GST_PLUGIN_FEATURE_RANK") != nullptr) {
        return; // someone chose the decoders for this run
    }
    gst_plugin_register_static(GST_VERSION_MAJOR, GST_VERSION_MINOR, name, description,
                               registerElements, "1.0", license, "vessa", "Vessa Video Player",
                               "https://example.invalid/vessa");
}
