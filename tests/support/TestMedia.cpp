#include "TestMedia.h"

QString TestMediaPath(TestClip clip)
{
    static const QString names[kTestClipCount] = {
        QStringLiteral("clip.avi"),       QStringLiteral("video-only-1s.avi"),
        QStringLiteral("audio-only.wav"), QStringLiteral("clip.mpg"),
        QStringLiteral("clip.mp4"),       QStringLiteral("no-video-decoder.avi"),
        QStringLiteral("truncated.avi"),  QStringLiteral("not-media.avi"),
        QStringLiteral("empty.avi"),      QString::fromUtf8("clip with spaces #1 100% Ünïcødé.avi"),
        QStringLiteral("subtitled.mkv"),
    };
    return QStringLiteral(VESSA_TEST_MEDIA_DIR "/") + names[static_cast<int>(clip)];
}

OpenedClip OpenFile(const QString& path)
{
    OpenedClip opened{IGraphBuilder::Create()};
    opened.hr = opened.graph->RenderFile(path);
    return opened;
}

REFERENCE_TIME Position(const std::shared_ptr<IGraphBuilder>& graph)
{
    REFERENCE_TIME position = -1;
    graph->QueryMediaSeeking()->GetCurrentPosition(&position);
    return position;
}

REFERENCE_TIME Duration(const std::shared_ptr<IGraphBuilder>& graph)
{
    REFERENCE_TIME duration = -1;
    graph->QueryMediaSeeking()->GetDuration(&duration);
    return duration;
}

HRESULT SeekTo(const std::shared_ptr<IGraphBuilder>& graph, REFERENCE_TIME target)
{
    return graph->QueryMediaSeeking()->SetPositions(&target, AM_SEEKING_AbsolutePositioning,
                                                    nullptr, AM_SEEKING_NoPositioning);
}

bool PlaysToItsEnd(GstElement* pipeline)
{
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* end = gst_bus_timed_pop_filtered(
        bus, 10 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    gst_object_unref(bus);
    const bool ended = end != nullptr && GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS;
    if (end != nullptr) {
        gst_message_unref(end);
    }
    return ended;
}
