#include "playback/SparePlaybin.h"

GstElementHandle CSparePlaybin::Take()
{
    if (m_playbin == nullptr) {
        return AdoptElement(gst_element_factory_make("playbin", nullptr));
    }
    return std::move(m_playbin);
}

void CSparePlaybin::GiveBack(GstElementHandle playbin)
{
    if (playbin == nullptr) {
        return;
    }
    // In its null state playbin has already released the file and the decoders, but it holds
    // the sinks it was given until others replace them.
    g_object_set(playbin.get(), "video-sink", nullptr, "audio-sink", nullptr, nullptr);
    m_playbin = std::move(playbin);
}
