#include "HangingFormat.h"

#include <QFile>
#include <gst/gst.h>

#include <cstring>

namespace {

constexpr char kMagic[] = "VESSA-HANG";
constexpr guint kMagicLength = sizeof(kMagic) - 1;
constexpr char kCaps[] = "application/x-vessa-hang";

GstStaticPadTemplate g_sinkTemplate =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS(kCaps));

GstFlowReturn Chain(GstPad* /*pad*/, GstObject* /*parent*/, GstBuffer* buffer)
{
    gst_buffer_unref(buffer);
    return GST_FLOW_OK;
}

// Even the end of the stream goes nowhere: nothing downstream ever learns that it came.
gboolean Event(GstPad* /*pad*/, GstObject* /*parent*/, GstEvent* event)
{
    gst_event_unref(event);
    return TRUE;
}

void ClassInit(gpointer klass, gpointer /*data*/)
{
    auto* elementClass = static_cast<GstElementClass*>(klass);
    gst_element_class_add_static_pad_template(elementClass, &g_sinkTemplate);
    gst_element_class_set_static_metadata(elementClass, "Hanging demuxer", "Codec/Demuxer",
                                          "Takes every byte, offers no stream", "Vessa tests");
}

void InstanceInit(GTypeInstance* instance, gpointer /*klass*/)
{
    GstPad* pad = gst_pad_new_from_static_template(&g_sinkTemplate, "sink");
    gst_pad_set_chain_function(pad, &Chain);
    gst_pad_set_event_function(pad, &Event);
    gst_element_add_pad(GST_ELEMENT(instance), pad);
}

void FindType(GstTypeFind* find, gpointer /*data*/)
{
    const guint8* bytes = gst_type_find_peek(find, 0, kMagicLength);
    if (bytes != nullptr && std::memcmp(bytes, kMagic, kMagicLength) == 0) {
        GstCaps* caps = gst_caps_new_empty_simple(kCaps);
        gst_type_find_suggest(find, GST_TYPE_FIND_MAXIMUM, caps);
        gst_caps_unref(caps);
    }
}

} // namespace

bool RegisterHangingFormat()
{
    static const bool registered = [] {
        if (!gst_init_check(nullptr, nullptr, nullptr)) {
            return false;
        }
        const GType type = g_type_register_static_simple(
            GST_TYPE_ELEMENT, "VessaHangDemux", sizeof(GstElementClass), &ClassInit,
            sizeof(GstElement), &InstanceInit, static_cast<GTypeFlags>(0));
        GstCaps* caps = gst_caps_new_empty_simple(kCaps);
        const bool found = gst_type_find_register(nullptr, "vessa-hang", GST_RANK_PRIMARY + 100,
                                                  &FindType, nullptr, caps, nullptr, nullptr);
        gst_caps_unref(caps);
        return found &&
               gst_element_register(nullptr, "vessahangdemux", GST_RANK_PRIMARY + 100, type);
    }();
    return registered;
}

QString WriteHangingFile(const QString& folder)
{
    const QString path = folder + QStringLiteral("/hangs.avi");
    QFile file(path);
    const bool written = RegisterHangingFormat() && file.open(QIODevice::WriteOnly) &&
                         file.write(QByteArray(kMagic) + QByteArray(4096, '\0')) > 0;
    return written ? path : QString();
}
