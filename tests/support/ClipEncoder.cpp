#include "ClipEncoder.h"

#include <QFile>
#include <QSaveFile>
#include <gst/gst.h>

#include <memory>

namespace {

struct PipelineDeleter
{
    void operator()(GstElement* pipeline) const
    {
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
    }
};

QString TakeError(GError* error)
{
    const QString text = QString::fromUtf8(error != nullptr ? error->message : "unknown error");
    if (error != nullptr) {
        g_error_free(error);
    }
    return text;
}

} // namespace

bool EncodeClip(const QString& description, const QString& outPath, std::chrono::seconds timeLimit,
                QString* error)
{
    GError* parseError = nullptr;
    std::unique_ptr<GstElement, PipelineDeleter> pipeline(
        gst_parse_launch(description.toUtf8().constData(), &parseError));
    if (parseError != nullptr) {
        *error = TakeError(parseError);
        return false;
    }
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline.get()), "out");
    if (sink == nullptr) {
        *error = QStringLiteral("the pipeline has no element named out");
        return false;
    }
    const QString partPath = outPath + QStringLiteral(".part");
    g_object_set(sink, "location", QFile::encodeName(partPath).constData(), nullptr);
    gst_object_unref(sink);

    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline.get());
    const auto limitNs = static_cast<GstClockTime>(timeLimit.count()) * GST_SECOND;
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, limitNs, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    gst_object_unref(bus);
    bool finished = false;
    if (message == nullptr) {
        *error = QStringLiteral("did not finish within %1 s").arg(timeLimit.count());
    } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        GError* runError = nullptr;
        gst_message_parse_error(message, &runError, nullptr);
        *error = TakeError(runError);
    } else {
        finished = true;
    }
    if (message != nullptr) {
        gst_message_unref(message);
    }
    // Stopping the pipeline closes the file before it is renamed.
    pipeline.reset();
    if (!finished) {
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

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
