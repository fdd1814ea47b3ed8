#include "ClipEncoder.h"

#include "playback/GstHandle.h"

#include <QFile>

bool EncodeClip(const QString& description, const QString& outPath, std::chrono::seconds timeLimit,
                QString* error)
{
    GError* rawError = nullptr;
    GstElementHandle pipeline =
        AdoptElement(gst_parse_launch(description.toUtf8().constData(), &rawError));
    GErrorHandle parseError(rawError);
    const GstElementHandle sink(
        pipeline != nullptr ? gst_bin_get_by_name(GST_BIN(pipeline.get()), "out") : nullptr);
    if (parseError != nullptr || sink == nullptr) {
        *error = parseError != nullptr ? QString::fromUtf8(parseError->message)
                                       : QStringLiteral("no element named out");
        return false;
    }
    const QString partPath = outPath + QStringLiteral(".part");
    g_object_set(sink.get(), "location", QFile::encodeName(partPath).constData(), nullptr);
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    const GstBusHandle bus(gst_element_get_bus(pipeline.get()));
    const GstMessageHandle message(gst_bus_timed_pop_filtered(
        bus.get(), static_cast<GstClockTime>(timeLimit.count()) * GST_SECOND,
        static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    // Stopping the pipeline closes the file before it is renamed.
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    if (message == nullptr || GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR) {
        rawError = nullptr;
        if (message != nullptr) {
            gst_message_parse_error(message.get(), &rawError, nullptr);
        }
        const GErrorHandle runError(rawError);
        *error = runError != nullptr ? QString::fromUtf8(runError->message)
                                     : QStringLiteral("did not finish in time");
        QFile::remove(partPath);
        return false;
    }
    QFile::remove(outPath);
    if (!QFile::rename(partPath, outPath)) {
        *error = QStringLiteral("cannot rename %1").arg(partPath);
        return false;
    }
    return true;
}
