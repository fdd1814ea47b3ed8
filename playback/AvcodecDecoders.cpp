#include "playback/AvcodecDecoders.h"

#include "playback/DecoderRanks.h"

#include <gst/audio/audio.h>
#include <gst/audio/gstaudiodecoder.h>
#include <gst/gst.h>
#include <gst/video/gstvideodecoder.h>
#include <gst/video/video.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

#include <algorithm>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <vector>

namespace {

GST_DEBUG_CATEGORY_STATIC(s_avcodecDebug);

// libavcodec reports every broken macroblock of a damaged file on stderr by default; here they go
// to GStreamer's debug log (GST_DEBUG=vessaavcodec:6), as the libav plugin's own reports do.
void LogToGStreamer(void* /*context*/, int level, const char* format, va_list arguments)
{
    if (level > AV_LOG_VERBOSE ||
        gst_debug_category_get_threshold(s_avcodecDebug) < GST_LEVEL_LOG) {
        return;
    }
    gchar* message = g_strdup_vprintf(format, arguments);
    GST_CAT_LOG(s_avcodecDebug, "%s", g_strchomp(message));
    g_free(message);
}

// ---------------------------------------------------------------------------------------------
// libavcodec, opened on first use. Linking it would load it (and its dozens of libraries) at the
// start of every run, also for files that never need it.

struct Avcodec
{
    const AVCodec* (*findDecoder)(AVCodecID);
    AVCodecContext* (*allocContext)(const AVCodec*);
    void (*freeContext)(AVCodecContext**);
    int (*open)(AVCodecContext*, const AVCodec*, AVDictionary**);
    int (*sendPacket)(AVCodecContext*, const AVPacket*);
    int (*receiveFrame)(AVCodecContext*, AVFrame*);
    void (*flushBuffers)(AVCodecContext*);
    AVPacket* (*allocPacket)();
    void (*freePacket)(AVPacket**);
    AVFrame* (*allocFrame)();
    void (*freeFrame)(AVFrame**);
    void (*unrefFrame)(AVFrame*);
    AVBufferRef* (*refBuffer)(const AVBufferRef*);
    void (*unrefBuffer)(AVBufferRef**);
    void* (*mallocz)(size_t);
};

template <typename Function>
bool Resolve(void* library, const char* name, Function* function)
{
    *function = reinterpret_cast<Function>(dlsym(library, name));
    return *function != nullptr;
}

// Null when the library of the major version these decoders were built for cannot be opened.
const Avcodec* OpenAvcodec()
{
    static const Avcodec* const avcodec = []() -> const Avcodec* {
        const std::string name = "libavcodec.so." + std::to_string(LIBAVCODEC_VERSION_MAJOR);
        void* library = dlopen(name.c_str(), RTLD_LAZY | RTLD_LOCAL);
        if (library == nullptr) {
            return nullptr;
        }
        static Avcodec api;
        // av_frame_* and av_mallocz come from libavutil, which libavcodec brings along.
        const bool ok = Resolve(library, "avcodec_find_decoder", &api.findDecoder) &&
                        Resolve(library, "avcodec_alloc_context3", &api.allocContext) &&
                        Resolve(library, "avcodec_free_context", &api.freeContext) &&
                        Resolve(library, "avcodec_open2", &api.open) &&
                        Resolve(library, "avcodec_send_packet", &api.sendPacket) &&
                        Resolve(library, "avcodec_receive_frame", &api.receiveFrame) &&
                        Resolve(library, "avcodec_flush_buffers", &api.flushBuffers) &&
                        Resolve(library, "av_packet_alloc", &api.allocPacket) &&
                        Resolve(library, "av_packet_free", &api.freePacket) &&
                        Resolve(library, "av_frame_alloc", &api.allocFrame) &&
                        Resolve(library, "av_frame_free", &api.freeFrame) &&
                        Resolve(library, "av_frame_unref", &api.unrefFrame) &&
                        Resolve(library, "av_buffer_ref", &api.refBuffer) &&
                        Resolve(library, "av_buffer_unref", &api.unrefBuffer) &&
                        Resolve(library, "av_mallocz", &api.mallocz);
        void (*setLogCallback)(void (*)(void*, int, const char*, va_list)) = nullptr;
        if (ok && Resolve(library, "av_log_set_callback", &setLogCallback)) {
            setLogCallback(&LogToGStreamer);
        }
        // The library stays open for the life of the process, as GStreamer's plugins do.
        return ok ? &api : nullptr;
    }();
    return avcodec;
}

// One decoding context with its packet and frame.
struct Decoding
{
    const Avcodec* av = nullptr;
    AVCodecContext* context = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    std::vector<guint8> padded; // the packet being sent, kept for its memory

    // Opens a decoder for the codec, with the codec's set-up data from the stream's caps (absent
    // where the stream carries it in band).
    bool Open(AVCodecID codec, const GstBuffer* codecData, int threads)
    {
        Close();
        av = OpenAvcodec();
        const AVCodec* decoder = av != nullptr ? av->findDecoder(codec) : nullptr;
        if (decoder == nullptr) {
            return false;
        }
        context = av->allocContext(decoder);
        packet = av->allocPacket();
        frame = av->allocFrame();
        if (context == nullptr || packet == nullptr || frame == nullptr) {
            Close();
            return false;
        }
        if (codecData != nullptr) {
            GstMapInfo map;
            if (!gst_buffer_map(const_cast<GstBuffer*>(codecData), &map, GST_MAP_READ)) {
                Close();
                return false;
            }
            // Freed with the context; the padding is the decoder's to over-read.
            auto* extradata =
                static_cast<uint8_t*>(av->mallocz(map.size + AV_INPUT_BUFFER_PADDING_SIZE));
            if (extradata != nullptr) {
                std::memcpy(extradata, map.data, map.size);
                context->extradata = extradata;
                context->extradata_size = static_cast<int>(map.size);
            }
            gst_buffer_unmap(const_cast<GstBuffer*>(codecData), &map);
            if (extradata == nullptr) {
                Close();
                return false;
            }
        }
        context->thread_count = threads;
        if (av->open(context, decoder, nullptr) < 0) {
            Close();
            return false;
        }
        return true;
    }

    Decoding() = default;
    Decoding(const Decoding&) = delete;
    Decoding& operator=(const Decoding&) = delete;
    ~Decoding() { Close(); }

    void Close()
    {
        if (av == nullptr) {
            return;
        }
        av->freeFrame(&frame);
        av->freePacket(&packet);
        av->freeContext(&context);
    }

    bool IsOpen() const { return context != nullptr; }

    // Forgets everything sent so far: after a seek, or after the end was sent.
    void Flush()
    {
        if (IsOpen()) {
            av->flushBuffers(context);
        }
    }

    // Sends one packet (or, with null data, the end of the stream): negative on an error.
    int Send(const guint8* data, gsize size, int64_t pts)
    {
        if (data == nullptr) {
            return av->sendPacket(context, nullptr);
        }
        // GStreamer's buffers have no padding; the decoder may read a little past a packet.
        padded.assign(data, data + size);
        padded.resize(size + AV_INPUT_BUFFER_PADDING_SIZE, 0);
        packet->data = padded.data();
        packet->size = static_cast<int>(size);
        packet->pts = pts;
        const int result = av->sendPacket(context, packet);
        packet->data = nullptr;
        packet->size = 0;
        return result;
    }

    // The next decoded frame into `frame`; false when none is ready (or at the end).
    bool Receive()
    {
        av->unrefFrame(frame);
        return av->receiveFrame(context, frame) == 0;
    }
};

int DecoderThreads()
{
    // As libav's GStreamer decoders do by default: a thread per processor, each holding back a
    // picture, which is what lets 1080p play on small machines.
    return static_cast<int>(std::clamp(g_get_num_processors(), 1U, 16U));
}

// ---------------------------------------------------------------------------------------------
// H.264 video.

struct VessaH264Dec
{
    GstVideoDecoder parent;
    Decoding* decoding;
    GstVideoCodecState* input;
    // What the output state was made for, to make it anew when the stream changes.
    AVPixelFormat format;
    int width;
    int height;
    AVRational aspect;
    bool interlaced;
    // Downstream takes pictures laid out as the decoder lays them out (video meta): the decoded
    // pictures themselves go downstream, else each one is copied into a buffer of its own.
    bool lend;
};

struct VessaH264DecClass
{
    GstVideoDecoderClass parent;
};

GType vessa_h264_dec_get_type();
G_DEFINE_TYPE(VessaH264Dec, vessa_h264_dec, GST_TYPE_VIDEO_DECODER)

VessaH264Dec* AsH264(GstVideoDecoder* decoder)
{
    return reinterpret_cast<VessaH264Dec*>(decoder);
}

// Every picture format of libavcodec's H.264 decoder that GStreamer has a name for. The libav
// plugin refuses the others (9 and 14 bits a sample) too.
GstVideoFormat VideoFormatOf(AVPixelFormat format)
{
    switch (format) {
    case AV_PIX_FMT_YUV420P:
    case AV_PIX_FMT_YUVJ420P:
        return GST_VIDEO_FORMAT_I420;
    case AV_PIX_FMT_YUV422P:
    case AV_PIX_FMT_YUVJ422P:
        return GST_VIDEO_FORMAT_Y42B;
    case AV_PIX_FMT_YUV444P:
    case AV_PIX_FMT_YUVJ444P:
        return GST_VIDEO_FORMAT_Y444;
    case AV_PIX_FMT_GRAY8:
        return GST_VIDEO_FORMAT_GRAY8;
    case AV_PIX_FMT_YUV420P10LE:
        return GST_VIDEO_FORMAT_I420_10LE;
    case AV_PIX_FMT_YUV422P10LE:
        return GST_VIDEO_FORMAT_I422_10LE;
    case AV_PIX_FMT_YUV444P10LE:
        return GST_VIDEO_FORMAT_Y444_10LE;
    case AV_PIX_FMT_YUV420P12LE:
        return GST_VIDEO_FORMAT_I420_12LE;
    case AV_PIX_FMT_YUV422P12LE:
        return GST_VIDEO_FORMAT_I422_12LE;
    case AV_PIX_FMT_YUV444P12LE:
        return GST_VIDEO_FORMAT_Y444_12LE;
    // RGB pictures, planes in the same order (green, blue, red) on both sides.
    case AV_PIX_FMT_GBRP:
        return GST_VIDEO_FORMAT_GBR;
    case AV_PIX_FMT_GBRP10LE:
        return GST_VIDEO_FORMAT_GBR_10LE;
    case AV_PIX_FMT_GBRP12LE:
        return GST_VIDEO_FORMAT_GBR_12LE;
    default:
        return GST_VIDEO_FORMAT_UNKNOWN;
    }
}

bool IsFullRange(const AVFrame* frame)
{
    return frame->color_range == AVCOL_RANGE_JPEG || frame->format == AV_PIX_FMT_YUVJ420P ||
           frame->format == AV_PIX_FMT_YUVJ422P || frame->format == AV_PIX_FMT_YUVJ444P;
}

GstVideoChromaSite ChromaSiteOf(AVChromaLocation location)
{
    switch (location) {
    case AVCHROMA_LOC_LEFT:
        return GST_VIDEO_CHROMA_SITE_MPEG2;
    case AVCHROMA_LOC_CENTER:
        return GST_VIDEO_CHROMA_SITE_JPEG;
    case AVCHROMA_LOC_TOPLEFT:
        return GST_VIDEO_CHROMA_SITE_DV;
    case AVCHROMA_LOC_TOP:
        return GST_VIDEO_CHROMA_SITE_V_COSITED;
    default:
        return GST_VIDEO_CHROMA_SITE_UNKNOWN;
    }
}

void vessa_h264_dec_init(VessaH264Dec* self)
{
    self->decoding = new Decoding;
    self->input = nullptr;
    self->format = AV_PIX_FMT_NONE;
    self->lend = false;
    // Packets are whole pictures (h264parse puts them together): one in, at most one out.
    gst_video_decoder_set_packetized(GST_VIDEO_DECODER(self), TRUE);
    gst_video_decoder_set_needs_format(GST_VIDEO_DECODER(self), TRUE);
}

void H264Finalize(GObject* object)
{
    delete reinterpret_cast<VessaH264Dec*>(object)->decoding;
    G_OBJECT_CLASS(vessa_h264_dec_parent_class)->finalize(object);
}

gboolean H264Open(GstVideoDecoder* /*decoder*/)
{
    // Loaded here, on going to READY, so that a decoder that cannot be had is passed over for
    // the next one while the stream is still being connected.
    return OpenAvcodec() != nullptr;
}

gboolean H264Stop(GstVideoDecoder* decoder)
{
    VessaH264Dec* self = AsH264(decoder);
    self->decoding->Close();
    g_clear_pointer(&self->input, gst_video_codec_state_unref);
    self->format = AV_PIX_FMT_NONE;
    return TRUE;
}

gboolean H264SetFormat(GstVideoDecoder* decoder, GstVideoCodecState* state)
{
    VessaH264Dec* self = AsH264(decoder);
    g_clear_pointer(&self->input, gst_video_codec_state_unref);
    self->input = gst_video_codec_state_ref(state);
    self->format = AV_PIX_FMT_NONE;
    return self->decoding->Open(AV_CODEC_ID_H264, state->codec_data, DecoderThreads());
}

// The picture's pixel aspect ratio: the stream's caps (from the container or the parser) and the
// decoder may both know one. Where only one of them is not square, that one; else the caps'.
void SetAspectRatio(const GstStructure* caps, const AVFrame* frame, GstVideoInfo* info)
{
    int capsNum = 0;
    int capsDen = 0;
    const bool hasCaps =
        gst_structure_get_fraction(caps, "pixel-aspect-ratio", &capsNum, &capsDen) != FALSE &&
        capsNum > 0 && capsDen > 0;
    const AVRational decoder = frame->sample_aspect_ratio;
    const bool hasDecoder = decoder.num > 0 && decoder.den > 0;
    bool useDecoder = false;
    if (hasDecoder && !hasCaps) {
        useDecoder = true;
    } else if (hasDecoder && capsNum == capsDen && decoder.num != decoder.den) {
        useDecoder = true;
    }
    if (useDecoder) {
        info->par_n = decoder.num;
        info->par_d = decoder.den;
    } else if (hasCaps) {
        info->par_n = capsNum;
        info->par_d = capsDen;
    } else {
        info->par_n = 1;
        info->par_d = 1;
    }
}

// What the caps leave open about colours, as the stream itself says.
void SetColours(const GstStructure* caps, const GstVideoInfo& in, const AVFrame* frame,
                GstVideoInfo* info)
{
    if (!gst_structure_has_field(caps, "chroma-site")) {
        const GstVideoChromaSite site = ChromaSiteOf(frame->chroma_location);
        if (site != GST_VIDEO_CHROMA_SITE_UNKNOWN) {
            info->chroma_site = site;
        }
    }
    const bool hasColorimetry = gst_structure_has_field(caps, "colorimetry");
    GstVideoColorimetry& colorimetry = info->colorimetry;
    if (!hasColorimetry || in.colorimetry.primaries == GST_VIDEO_COLOR_PRIMARIES_UNKNOWN) {
        colorimetry.primaries = gst_video_color_primaries_from_iso(frame->color_primaries);
    }
    if (!hasColorimetry || in.colorimetry.transfer == GST_VIDEO_TRANSFER_UNKNOWN) {
        colorimetry.transfer = gst_video_transfer_function_from_iso(frame->color_trc);
    }
    if (!hasColorimetry || in.colorimetry.matrix == GST_VIDEO_COLOR_MATRIX_UNKNOWN) {
        colorimetry.matrix = gst_video_color_matrix_from_iso(frame->colorspace);
    }
    if (!hasColorimetry || in.colorimetry.range == GST_VIDEO_COLOR_RANGE_UNKNOWN) {
        colorimetry.range = IsFullRange(frame) ? GST_VIDEO_COLOR_RANGE_0_255
                            : frame->color_range == AVCOL_RANGE_MPEG
                                ? GST_VIDEO_COLOR_RANGE_16_235
                                : GST_VIDEO_COLOR_RANGE_UNKNOWN;
    }
}

GstFlowReturn H264Negotiate(VessaH264Dec* self, const AVFrame* frame)
{
    const auto format = static_cast<AVPixelFormat>(frame->format);
    const bool interlaced = frame->interlaced_frame != 0;
    if (format == self->format && frame->width == self->width && frame->height == self->height &&
        av_cmp_q(frame->sample_aspect_ratio, self->aspect) == 0 && interlaced == self->interlaced) {
        return GST_FLOW_OK;
    }
    const GstVideoFormat videoFormat = VideoFormatOf(format);
    if (videoFormat == GST_VIDEO_FORMAT_UNKNOWN) {
        GST_ELEMENT_ERROR(self, STREAM, FORMAT, (nullptr),
                          ("pictures of pixel format %d cannot be passed on", frame->format));
        return GST_FLOW_NOT_NEGOTIATED;
    }
    GstVideoDecoder* decoder = GST_VIDEO_DECODER(self);
    GstVideoCodecState* output =
        gst_video_decoder_set_output_state(decoder, videoFormat, static_cast<guint>(frame->width),
                                           static_cast<guint>(frame->height), self->input);
    GstVideoInfo* info = &output->info;
    const GstStructure* caps = gst_caps_get_structure(self->input->caps, 0);
    if (!gst_structure_has_field(caps, "interlace-mode")) {
        GST_VIDEO_INFO_INTERLACE_MODE(info) = interlaced ? GST_VIDEO_INTERLACE_MODE_INTERLEAVED
                                                         : GST_VIDEO_INTERLACE_MODE_PROGRESSIVE;
        if (interlaced) {
            GST_VIDEO_INFO_FIELD_ORDER(info) = frame->top_field_first != 0
                                                   ? GST_VIDEO_FIELD_ORDER_TOP_FIELD_FIRST
                                                   : GST_VIDEO_FIELD_ORDER_BOTTOM_FIELD_FIRST;
        }
    }
    SetColours(caps, self->input->info, frame, info);
    SetAspectRatio(caps, frame, info);
    // A single view: the caps say nothing of views.
    GST_VIDEO_INFO_MULTIVIEW_MODE(info) = GST_VIDEO_MULTIVIEW_MODE_NONE;
    GST_VIDEO_INFO_MULTIVIEW_FLAGS(info) = GST_VIDEO_MULTIVIEW_FLAGS_NONE;
    output->caps = gst_video_info_to_caps(info);
    gst_video_codec_state_unref(output);
    if (!gst_video_decoder_negotiate(decoder)) {
        return GST_FLOW_NOT_NEGOTIATED;
    }
    // Pictures held back for reordering, and one more for each decoding thread.
    const AVCodecContext* context = self->decoding->context;
    if (info->fps_n > 0 && info->fps_d > 0) {
        const GstClockTime latency = gst_util_uint64_scale_ceil(
            static_cast<guint64>(context->has_b_frames + context->thread_count) * GST_SECOND,
            static_cast<guint64>(info->fps_d), static_cast<guint64>(info->fps_n));
        gst_video_decoder_set_latency(decoder, latency, latency);
    }
    self->format = format;
    self->width = frame->width;
    self->height = frame->height;
    self->aspect = frame->sample_aspect_ratio;
    self->interlaced = interlaced;
    return GST_FLOW_OK;
}

GstFlowReturn CopyPicture(GstVideoDecoder* decoder, const AVFrame* picture,
                          const GstVideoInfo& info, GstVideoCodecFrame* frame)
{
    const GstFlowReturn result = gst_video_decoder_allocate_output_frame(decoder, frame);
    if (result != GST_FLOW_OK) {
        return result;
    }
    GstVideoFrame target;
    if (!gst_video_frame_map(&target, &info, frame->output_buffer, GST_MAP_WRITE)) {
        return GST_FLOW_ERROR;
    }
    for (guint plane = 0; plane < GST_VIDEO_FRAME_N_PLANES(&target); ++plane) {
        const guint8* from = picture->data[plane];
        auto* to = static_cast<guint8*>(GST_VIDEO_FRAME_PLANE_DATA(&target, plane));
        const int toStride = GST_VIDEO_FRAME_PLANE_STRIDE(&target, plane);
        const gsize rowBytes = static_cast<gsize>(GST_VIDEO_FRAME_COMP_WIDTH(&target, plane)) *
                               static_cast<gsize>(GST_VIDEO_FRAME_COMP_PSTRIDE(&target, plane));
        const int rows = GST_VIDEO_FRAME_COMP_HEIGHT(&target, plane);
        for (int row = 0; row < rows; ++row) {
            std::memcpy(to + static_cast<gsize>(row) * toStride,
                        from + static_cast<ptrdiff_t>(row) * picture->linesize[plane], rowBytes);
        }
    }
    gst_video_frame_unmap(&target);
    return GST_FLOW_OK;
}

void ReleasePlane(gpointer plane)
{
    AVBufferRef* reference = static_cast<AVBufferRef*>(plane);
    OpenAvcodec()->unrefBuffer(&reference);
}

// The decoded picture itself as a buffer, each plane a read-only memory holding a reference to
// the decoder's buffer: the decoder takes new pictures from its pool while downstream holds this
// one, and may go on predicting from it, so nothing downstream may write into it (a writer gets a
// copy of its own). Null where the planes are not where a video meta can say they are.
GstBuffer* LendPicture(const Avcodec& av, const AVFrame* picture, const GstVideoInfo& info)
{
    GstBuffer* buffer = gst_buffer_new();
    gsize offsets[GST_VIDEO_MAX_PLANES] = {};
    gint strides[GST_VIDEO_MAX_PLANES] = {};
    gsize total = 0;
    const guint planes = GST_VIDEO_INFO_N_PLANES(&info);
    for (guint plane = 0; plane < planes; ++plane) {
        const uint8_t* data = picture->data[plane];
        const AVBufferRef* holder = nullptr;
        for (const AVBufferRef* candidate : picture->buf) {
            if (candidate != nullptr && data >= candidate->data &&
                data < candidate->data + candidate->size) {
                holder = candidate;
            }
        }
        AVBufferRef* reference =
            holder != nullptr && picture->linesize[plane] > 0 ? av.refBuffer(holder) : nullptr;
        if (reference == nullptr) {
            gst_buffer_unref(buffer);
            return nullptr;
        }
        const auto skip = static_cast<gsize>(data - holder->data);
        const gsize size = holder->size - skip;
        gst_buffer_append_memory(buffer, gst_memory_new_wrapped(GST_MEMORY_FLAG_READONLY,
                                                                holder->data, holder->size, skip,
                                                                size, reference, &ReleasePlane));
        offsets[plane] = total;
        strides[plane] = picture->linesize[plane];
        total += size;
    }
    gst_buffer_add_video_meta_full(buffer, GST_VIDEO_FRAME_FLAG_NONE, GST_VIDEO_INFO_FORMAT(&info),
                                   GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info),
                                   planes, offsets, strides);
    return buffer;
}

// Lets go of pictures decoded before this one, in decoding order, that show earlier: the decoder
// will not give them out any more (it dropped them as broken, or they led to no picture).
void ReleaseSkippedFrames(GstVideoDecoder* decoder, const GstVideoCodecFrame* shown)
{
    GList* frames = gst_video_decoder_get_frames(decoder);
    for (GList* item = frames; item != nullptr; item = item->next) {
        auto* frame = static_cast<GstVideoCodecFrame*>(item->data);
        if (frame->system_frame_number >= shown->system_frame_number) {
            continue;
        }
        if (GST_CLOCK_TIME_IS_VALID(frame->pts) && GST_CLOCK_TIME_IS_VALID(shown->pts) &&
            frame->pts < shown->pts) {
            gst_video_decoder_release_frame(decoder, gst_video_codec_frame_ref(frame));
        }
    }
    g_list_free_full(frames, reinterpret_cast<GDestroyNotify>(gst_video_codec_frame_unref));
}

GstFlowReturn H264Push(VessaH264Dec* self)
{
    GstVideoDecoder* decoder = GST_VIDEO_DECODER(self);
    const AVFrame* picture = self->decoding->frame;
    GstVideoCodecFrame* frame =
        gst_video_decoder_get_frame(decoder, static_cast<int>(picture->pts));
    if (frame == nullptr) {
        return GST_FLOW_OK; // its packet was flushed away meanwhile
    }
    ReleaseSkippedFrames(decoder, frame);
    GstFlowReturn result = H264Negotiate(self, picture);
    if (result != GST_FLOW_OK) {
        gst_video_decoder_release_frame(decoder, frame);
        return result;
    }
    GstVideoCodecState* output = gst_video_decoder_get_output_state(decoder);
    if (self->lend) {
        frame->output_buffer = LendPicture(*self->decoding->av, picture, output->info);
    }
    if (frame->output_buffer == nullptr) {
        result = CopyPicture(decoder, picture, output->info, frame);
    }
    gst_video_codec_state_unref(output);
    if (result != GST_FLOW_OK) {
        gst_video_decoder_release_frame(decoder, frame);
        return result;
    }
    if (picture->interlaced_frame != 0) {
        GST_BUFFER_FLAG_SET(frame->output_buffer, GST_VIDEO_BUFFER_FLAG_INTERLACED);
        if (picture->top_field_first != 0) {
            GST_BUFFER_FLAG_SET(frame->output_buffer, GST_VIDEO_BUFFER_FLAG_TFF);
        }
    }
    return gst_video_decoder_finish_frame(decoder, frame);
}

GstFlowReturn H264PushDecoded(VessaH264Dec* self)
{
    GstFlowReturn result = GST_FLOW_OK;
    while (result == GST_FLOW_OK && self->decoding->Receive()) {
        result = H264Push(self);
    }
    return result;
}

GstFlowReturn H264HandleFrame(GstVideoDecoder* decoder, GstVideoCodecFrame* frame)
{
    VessaH264Dec* self = AsH264(decoder);
    if (!self->decoding->IsOpen()) {
        gst_video_decoder_drop_frame(decoder, frame);
        return GST_FLOW_NOT_NEGOTIATED;
    }
    GstMapInfo map;
    if (!gst_buffer_map(frame->input_buffer, &map, GST_MAP_READ)) {
        gst_video_decoder_drop_frame(decoder, frame);
        return GST_FLOW_ERROR;
    }
    const int sent = self->decoding->Send(map.data, map.size, frame->system_frame_number);
    gst_buffer_unmap(frame->input_buffer, &map);
    GstFlowReturn result = GST_FLOW_OK;
    if (sent >= 0) {
        gst_video_codec_frame_unref(frame); // still listed with the decoder until it is finished
    } else {
        // A broken picture: passed over, and too many in a row end the stream.
        gst_video_decoder_drop_frame(decoder, frame);
        GST_VIDEO_DECODER_ERROR(decoder, 1, STREAM, DECODE, (nullptr),
                                ("the decoder refused a picture (%d)", sent), result);
        if (result != GST_FLOW_OK) {
            return result;
        }
    }
    return H264PushDecoded(self);
}

GstFlowReturn H264Drain(GstVideoDecoder* decoder)
{
    VessaH264Dec* self = AsH264(decoder);
    if (!self->decoding->IsOpen()) {
        return GST_FLOW_OK;
    }
    self->decoding->Send(nullptr, 0, 0);
    const GstFlowReturn result = H264PushDecoded(self);
    // Ready for more after the end: a seek back, or the next part of a stream.
    self->decoding->Flush();
    return result;
}

gboolean H264Flush(GstVideoDecoder* decoder)
{
    AsH264(decoder)->decoding->Flush();
    return TRUE;
}

gboolean H264DecideAllocation(GstVideoDecoder* decoder, GstQuery* query)
{
    VessaH264Dec* self = AsH264(decoder);
    self->lend = gst_query_find_allocation_meta(query, GST_VIDEO_META_API_TYPE, nullptr) != FALSE;
    if (self->lend && gst_query_get_n_allocation_pools(query) > 0) {
        // The pool only stands by for a copy: nothing of it is allocated ahead.
        GstBufferPool* pool = nullptr;
        guint size = 0;
        guint min = 0;
        guint max = 0;
        gst_query_parse_nth_allocation_pool(query, 0, &pool, &size, &min, &max);
        gst_query_set_nth_allocation_pool(query, 0, pool, size, 0, max);
        if (pool != nullptr) {
            gst_object_unref(pool);
        }
    }
    return GST_VIDEO_DECODER_CLASS(vessa_h264_dec_parent_class)->decide_allocation(decoder, query);
}

void vessa_h264_dec_class_init(VessaH264DecClass* klass)
{
    G_OBJECT_CLASS(klass)->finalize = &H264Finalize;
    GstElementClass* element = GST_ELEMENT_CLASS(klass);
    static GstStaticPadTemplate sink =
        GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS,
                                GST_STATIC_CAPS("video/x-h264, alignment=(string)au, "
                                                "stream-format=(string){ avc, byte-stream }"));
    static GstStaticPadTemplate src = GST_STATIC_PAD_TEMPLATE(
        "src", GST_PAD_SRC, GST_PAD_ALWAYS,
        GST_STATIC_CAPS(GST_VIDEO_CAPS_MAKE("{ I420, Y42B, Y444, GRAY8, I420_10LE, I422_10LE, "
                                            "Y444_10LE, I420_12LE, I422_12LE, Y444_12LE, GBR, "
                                            "GBR_10LE, GBR_12LE }")));
    gst_element_class_add_static_pad_template(element, &sink);
    gst_element_class_add_static_pad_template(element, &src);
    gst_element_class_set_static_metadata(element, "H.264 decoder (libavcodec)",
                                          "Codec/Decoder/Video", "Decodes H.264 with libavcodec",
                                          "Vessa Video Player");
    GstVideoDecoderClass* video = GST_VIDEO_DECODER_CLASS(klass);
    video->open = &H264Open;
    video->stop = &H264Stop;
    video->set_format = &H264SetFormat;
    video->decide_allocation = &H264DecideAllocation;
    video->handle_frame = &H264HandleFrame;
    video->drain = &H264Drain;
    video->finish = &H264Drain;
    video->flush = &H264Flush;
}

// ---------------------------------------------------------------------------------------------
// AAC sound.

struct VessaAacDec
{
    GstAudioDecoder parent;
    Decoding* decoding;
    GstAudioInfo output; // what was last set as the output format
};

struct VessaAacDecClass
{
    GstAudioDecoderClass parent;
};

GType vessa_aac_dec_get_type();
G_DEFINE_TYPE(VessaAacDec, vessa_aac_dec, GST_TYPE_AUDIO_DECODER)

VessaAacDec* AsAac(GstAudioDecoder* decoder)
{
    return reinterpret_cast<VessaAacDec*>(decoder);
}

void vessa_aac_dec_init(VessaAacDec* self)
{
    self->decoding = new Decoding;
    gst_audio_info_init(&self->output);
    gst_audio_decoder_set_needs_format(GST_AUDIO_DECODER(self), TRUE);
}

void AacFinalize(GObject* object)
{
    delete reinterpret_cast<VessaAacDec*>(object)->decoding;
    G_OBJECT_CLASS(vessa_aac_dec_parent_class)->finalize(object);
}

gboolean AacOpen(GstAudioDecoder* /*decoder*/)
{
    return OpenAvcodec() != nullptr;
}

gboolean AacStop(GstAudioDecoder* decoder)
{
    VessaAacDec* self = AsAac(decoder);
    self->decoding->Close();
    gst_audio_info_init(&self->output);
    return TRUE;
}

gboolean AacSetFormat(GstAudioDecoder* decoder, GstCaps* caps)
{
    VessaAacDec* self = AsAac(decoder);
    const GstStructure* structure = gst_caps_get_structure(caps, 0);
    const GValue* value = gst_structure_get_value(structure, "codec_data");
    const GstBuffer* codecData = value != nullptr && G_VALUE_HOLDS(value, GST_TYPE_BUFFER)
                                     ? gst_value_get_buffer(value)
                                     : nullptr;
    gst_audio_info_init(&self->output);
    // One thread: sound frames are small, and frame threads would only add delay.
    return self->decoding->Open(AV_CODEC_ID_AAC, codecData, 1);
}

// libavcodec's channels in their native order, as GStreamer's positions; false where a layout
// has channels GStreamer would order differently (none of AAC's own layouts do).
bool ChannelPositions(const AVChannelLayout& layout, GstAudioChannelPosition* positions)
{
    static constexpr GstAudioChannelPosition kByChannel[] = {
        GST_AUDIO_CHANNEL_POSITION_FRONT_LEFT,
        GST_AUDIO_CHANNEL_POSITION_FRONT_RIGHT,
        GST_AUDIO_CHANNEL_POSITION_FRONT_CENTER,
        GST_AUDIO_CHANNEL_POSITION_LFE1,
        GST_AUDIO_CHANNEL_POSITION_REAR_LEFT,
        GST_AUDIO_CHANNEL_POSITION_REAR_RIGHT,
        GST_AUDIO_CHANNEL_POSITION_FRONT_LEFT_OF_CENTER,
        GST_AUDIO_CHANNEL_POSITION_FRONT_RIGHT_OF_CENTER,
        GST_AUDIO_CHANNEL_POSITION_REAR_CENTER,
        GST_AUDIO_CHANNEL_POSITION_SIDE_LEFT,
        GST_AUDIO_CHANNEL_POSITION_SIDE_RIGHT,
        GST_AUDIO_CHANNEL_POSITION_TOP_CENTER,
        GST_AUDIO_CHANNEL_POSITION_TOP_FRONT_LEFT,
        GST_AUDIO_CHANNEL_POSITION_TOP_FRONT_CENTER,
        GST_AUDIO_CHANNEL_POSITION_TOP_FRONT_RIGHT,
        GST_AUDIO_CHANNEL_POSITION_TOP_REAR_LEFT,
        GST_AUDIO_CHANNEL_POSITION_TOP_REAR_CENTER,
        GST_AUDIO_CHANNEL_POSITION_TOP_REAR_RIGHT,
    };
    const int channels = layout.nb_channels;
    if (layout.order != AV_CHANNEL_ORDER_NATIVE) {
        return false;
    }
    if (channels == 1 && layout.u.mask == AV_CH_FRONT_CENTER) {
        positions[0] = GST_AUDIO_CHANNEL_POSITION_MONO;
        return true;
    }
    int next = 0;
    for (int bit = 0; bit < 64 && next < channels; ++bit) {
        if ((layout.u.mask & (1ULL << bit)) == 0) {
            continue;
        }
        if (bit >= static_cast<int>(G_N_ELEMENTS(kByChannel))) {
            return false;
        }
        positions[next++] = kByChannel[bit];
    }
    return next == channels &&
           gst_audio_check_valid_channel_positions(positions, channels, TRUE) != FALSE;
}

bool AacNegotiate(VessaAacDec* self, const AVFrame* frame)
{
    const int channels = frame->ch_layout.nb_channels;
    if (channels <= 0 || channels > 64 || frame->sample_rate <= 0) {
        return false;
    }
    GstAudioChannelPosition positions[64];
    const bool positioned = ChannelPositions(frame->ch_layout, positions);
    GstAudioInfo info;
    gst_audio_info_init(&info);
    gst_audio_info_set_format(&info, GST_AUDIO_FORMAT_F32LE, frame->sample_rate, channels,
                              positioned ? positions : nullptr);
    if (gst_audio_info_is_equal(&info, &self->output)) {
        return true;
    }
    if (!gst_audio_decoder_set_output_format(GST_AUDIO_DECODER(self), &info)) {
        return false;
    }
    self->output = info;
    return true;
}

GstFlowReturn AacHandleFrame(GstAudioDecoder* decoder, GstBuffer* buffer)
{
    VessaAacDec* self = AsAac(decoder);
    if (buffer == nullptr) {
        return GST_FLOW_OK; // the AAC decoder holds nothing back
    }
    if (!self->decoding->IsOpen()) {
        return GST_FLOW_NOT_NEGOTIATED;
    }
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        return GST_FLOW_ERROR;
    }
    const int sent = self->decoding->Send(map.data, map.size, AV_NOPTS_VALUE);
    gst_buffer_unmap(buffer, &map);
    GstFlowReturn result = GST_FLOW_OK;
    if (sent < 0) {
        GST_AUDIO_DECODER_ERROR(decoder, 1, STREAM, DECODE, (nullptr),
                                ("the decoder refused a frame (%d)", sent), result);
        gst_audio_decoder_finish_frame(decoder, nullptr, 1);
        return result;
    }
    // Normally one frame of sound for each frame sent; all of it goes out as one buffer.
    // Interleaved, as sinks take it: that is also what lets the base class join buffers into
    // longer ones downstream (it leaves channel-after-channel sound as it comes).
    std::vector<float> samples;
    int channels = 0;
    while (self->decoding->Receive()) {
        const AVFrame* frame = self->decoding->frame;
        if (frame->format != AV_SAMPLE_FMT_FLTP || !AacNegotiate(self, frame) ||
            (channels != 0 && channels != frame->ch_layout.nb_channels)) {
            GST_ELEMENT_ERROR(self, STREAM, FORMAT, (nullptr),
                              ("decoded sound of sample format %d in %d channels cannot be "
                               "passed on",
                               frame->format, frame->ch_layout.nb_channels));
            return GST_FLOW_NOT_NEGOTIATED;
        }
        channels = frame->ch_layout.nb_channels;
        const auto* const* planes = reinterpret_cast<const float* const*>(frame->extended_data);
        samples.reserve(samples.size() +
                        static_cast<size_t>(frame->nb_samples) * static_cast<size_t>(channels));
        for (int sample = 0; sample < frame->nb_samples; ++sample) {
            for (int channel = 0; channel < channels; ++channel) {
                samples.push_back(planes[channel][sample]);
            }
        }
    }
    GstBuffer* sound = samples.empty()
                           ? nullptr
                           : gst_buffer_new_memdup(samples.data(), samples.size() * sizeof(float));
    return gst_audio_decoder_finish_frame(decoder, sound, 1);
}

void AacFlush(GstAudioDecoder* decoder, gboolean /*hard*/)
{
    AsAac(decoder)->decoding->Flush();
}

void vessa_aac_dec_class_init(VessaAacDecClass* klass)
{
    G_OBJECT_CLASS(klass)->finalize = &AacFinalize;
    GstElementClass* element = GST_ELEMENT_CLASS(klass);
    static GstStaticPadTemplate sink = GST_STATIC_PAD_TEMPLATE(
        "sink", GST_PAD_SINK, GST_PAD_ALWAYS,
        GST_STATIC_CAPS("audio/mpeg, mpegversion=(int){ 2, 4 }, "
                        "stream-format=(string){ raw, adts }, framed=(boolean)true"));
    static GstStaticPadTemplate src = GST_STATIC_PAD_TEMPLATE(
        "src", GST_PAD_SRC, GST_PAD_ALWAYS,
        GST_STATIC_CAPS("audio/x-raw, format=(string)F32LE, layout=(string)interleaved, "
                        "rate=(int)[ 1, MAX ], channels=(int)[ 1, 64 ]"));
    gst_element_class_add_static_pad_template(element, &sink);
    gst_element_class_add_static_pad_template(element, &src);
    gst_element_class_set_static_metadata(element, "AAC decoder (libavcodec)",
                                          "Codec/Decoder/Audio", "Decodes AAC with libavcodec",
                                          "Vessa Video Player");
    GstAudioDecoderClass* audio = GST_AUDIO_DECODER_CLASS(klass);
    audio->open = &AacOpen;
    audio->stop = &AacStop;
    audio->set_format = &AacSetFormat;
    audio->handle_frame = &AacHandleFrame;
    audio->flush = &AacFlush;
}

// ---------------------------------------------------------------------------------------------

gboolean RegisterElements(GstPlugin* plugin)
{
    return gst_element_register(plugin, "vessah264dec", RankAbove({"avdec_h264"}),
                                vessa_h264_dec_get_type()) &&
           gst_element_register(plugin, "vessaaacdec", RankAbove({"avdec_aac"}),
                                vessa_aac_dec_get_type());
}

} // namespace

void RegisterAvcodecDecoders()
{
    GST_DEBUG_CATEGORY_INIT(s_avcodecDebug, "vessaavcodec", 0, "the player's libavcodec decoders");
    RegisterOwnDecoders("vessaavcodec", "libavcodec's H.264 and AAC decoders, opened on first use",
                        "LGPL", &RegisterElements);
}
