#include "playback/Mpeg2Decoder.h"

#include "playback/DecoderRanks.h"

#include <gst/gst.h>
#include <gst/video/gstvideodecoder.h>
#include <gst/video/gstvideopool.h>
#include <gst/video/video.h>

#include <cstdint>
extern "C" {
#include <mpeg2dec/mpeg2.h>
}

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

GST_DEBUG_CATEGORY_STATIC(s_mpeg2Debug);
#define GST_CAT_DEFAULT s_mpeg2Debug

// The largest pictures MPEG video has: anything beyond is a broken header.
constexpr unsigned kMaxSide = 4096;

// A picture libmpeg2 decodes into, or predicts from once it is complete: a buffer of the pool,
// mapped for as long as libmpeg2 holds its planes. It is mapped for writing only while it is
// being decoded; memory mapped for writing cannot be shared, and a picture going downstream
// while its memory cannot be shared is copied whole.
struct Picture
{
    guint32 number = 0; // the frame's system_frame_number
    GstBuffer* buffer = nullptr;
    GstVideoFrame frame{};
    bool mapped = false;
};

struct Decoding
{
    mpeg2dec_t* decoder = nullptr;
    const mpeg2_info_t* info = nullptr;
    GstVideoCodecState* input = nullptr;
    // The sequence the output was negotiated for, and the pictures' layout: the output's size,
    // padded to the whole macroblocks libmpeg2 writes.
    mpeg2_sequence_t sequence{};
    bool negotiated = false;
    GstVideoAlignment padding{};
    GstVideoInfo decoded{};
    GstBufferPool* pool = nullptr;
    bool poolActivatedHere = false;
    // Downstream cannot take padded pictures: each one is copied out when it is shown.
    bool copyOut = false;
    // After a restart, pictures predicted from what came before it are not shown.
    bool waitingForKey = true;
    std::vector<Picture> pictures;
    // Pictures libmpeg2 is done with whose memory is still shared with the copies shown
    // downstream: the pool would throw them away if they went back now, and make new ones.
    std::vector<GstBuffer*> retired;
    // Whether the data being parsed began a picture.
    bool frameBegun = false;
    // What libmpeg2 predicts from before any picture of the sequence is decoded, and decodes
    // into when a picture is not to be kept.
    std::vector<guint8> blank;
    std::array<guint8*, 3> blankPlanes{};
};

struct VessaMpeg2Dec
{
    GstVideoDecoder parent;
    Decoding* decoding;
};

struct VessaMpeg2DecClass
{
    GstVideoDecoderClass parent;
};

GType vessa_mpeg2_dec_get_type();
G_DEFINE_TYPE(VessaMpeg2Dec, vessa_mpeg2_dec, GST_TYPE_VIDEO_DECODER)

Decoding& DecodingOf(GstVideoDecoder* decoder)
{
    return *reinterpret_cast<VessaMpeg2Dec*>(decoder)->decoding;
}

void ReleasePicture(Picture& picture)
{
    if (picture.mapped) {
        gst_video_frame_unmap(&picture.frame);
        picture.mapped = false;
    }
    if (picture.buffer != nullptr) {
        gst_buffer_unref(picture.buffer);
        picture.buffer = nullptr;
    }
}

// Gives back to the pool the retired pictures that nothing downstream shows any more, or all.
void ReturnRetired(Decoding& d, bool all)
{
    std::vector<GstBuffer*> waiting;
    for (GstBuffer* buffer : d.retired) {
        if (all || gst_buffer_is_all_memory_writable(buffer)) {
            gst_buffer_unref(buffer);
        } else {
            waiting.push_back(buffer);
        }
    }
    d.retired.swap(waiting);
}

void ReleasePictures(Decoding& d)
{
    for (Picture& picture : d.pictures) {
        ReleasePicture(picture);
    }
    d.pictures.clear();
    ReturnRetired(d, true);
}

std::vector<Picture>::iterator FindPicture(Decoding& d, const mpeg2_fbuf_t* fbuf)
{
    if (fbuf == nullptr || fbuf->id == nullptr) {
        return d.pictures.end();
    }
    // Ids are frame numbers plus one: the blank picture has none.
    const auto number = static_cast<guint32>(GPOINTER_TO_UINT(fbuf->id) - 1);
    return std::find_if(d.pictures.begin(), d.pictures.end(),
                        [number](const Picture& picture) { return picture.number == number; });
}

void SetPoolAside(Decoding& d)
{
    if (d.pool == nullptr) {
        return;
    }
    if (d.poolActivatedHere) {
        gst_buffer_pool_set_active(d.pool, FALSE);
    }
    gst_object_unref(d.pool);
    d.pool = nullptr;
    d.poolActivatedHere = false;
}

GstVideoFormat FormatOf(const mpeg2_sequence_t& sequence)
{
    if (sequence.chroma_width == sequence.width) {
        return GST_VIDEO_FORMAT_Y444;
    }
    return sequence.chroma_height == sequence.height ? GST_VIDEO_FORMAT_Y42B
                                                     : GST_VIDEO_FORMAT_I420;
}

bool IsUsable(const mpeg2_sequence_t& sequence)
{
    return sequence.frame_period != 0 && sequence.width >= 16 && sequence.height >= 16 &&
           sequence.width <= kMaxSide && sequence.height <= kMaxSide &&
           sequence.picture_width <= sequence.width && sequence.picture_height <= sequence.height;
}

// The caps of the sequence's pictures, as GStreamer's libmpeg2 decoder gives them.
GstFlowReturn Negotiate(VessaMpeg2Dec* self)
{
    Decoding& d = *self->decoding;
    const mpeg2_sequence_t& sequence = *d.info->sequence;
    if (d.negotiated && std::memcmp(&sequence, &d.sequence, sizeof sequence) == 0) {
        return GST_FLOW_OK;
    }
    d.negotiated = false;
    if (!IsUsable(sequence)) {
        GstFlowReturn result = GST_FLOW_OK;
        GST_VIDEO_DECODER_ERROR(self, 1, STREAM, DECODE, (nullptr),
                                ("a sequence of %ux%u pictures every %u/27000000 s",
                                 sequence.picture_width, sequence.picture_height,
                                 sequence.frame_period),
                                result);
        return result;
    }
    GstVideoDecoder* decoder = GST_VIDEO_DECODER(self);
    GstVideoCodecState* output = gst_video_decoder_set_output_state(
        decoder, FormatOf(sequence), sequence.picture_width, sequence.picture_height, d.input);
    GstVideoInfo* info = &output->info;
    // The parser's aspect ratio, unless it only says square pixels where the sequence knows
    // better.
    unsigned pixelWidth = 0;
    unsigned pixelHeight = 0;
    if (info->par_n == 1 && info->par_d == 1 && sequence.pixel_width != 0 &&
        sequence.pixel_height != 0 && mpeg2_guess_aspect(&sequence, &pixelWidth, &pixelHeight)) {
        info->par_n = static_cast<gint>(pixelWidth);
        info->par_d = static_cast<gint>(pixelHeight);
    }
    info->fps_n = 27000000; // the sequence counts periods of the 27 MHz system clock
    info->fps_d = static_cast<gint>(sequence.frame_period);
    info->interlace_mode = (sequence.flags & SEQ_FLAG_PROGRESSIVE_SEQUENCE) != 0
                               ? GST_VIDEO_INTERLACE_MODE_PROGRESSIVE
                               : GST_VIDEO_INTERLACE_MODE_MIXED;
    info->chroma_site = GST_VIDEO_CHROMA_SITE_MPEG2;
    info->colorimetry.range = GST_VIDEO_COLOR_RANGE_16_235;
    if ((sequence.flags & SEQ_FLAG_COLOUR_DESCRIPTION) != 0) {
        info->colorimetry.primaries = gst_video_color_primaries_from_iso(sequence.colour_primaries);
        info->colorimetry.transfer =
            gst_video_transfer_function_from_iso(sequence.transfer_characteristics);
        info->colorimetry.matrix = gst_video_color_matrix_from_iso(sequence.matrix_coefficients);
    }
    gst_video_alignment_reset(&d.padding);
    d.padding.padding_right = sequence.width - sequence.picture_width;
    d.padding.padding_bottom = sequence.height - sequence.picture_height;
    // The pool aligns every plane's rows to the 16 bytes its memory is aligned to.
    std::fill(std::begin(d.padding.stride_align), std::end(d.padding.stride_align), 15U);
    d.decoded = *info;
    gst_video_info_align(&d.decoded, &d.padding);
    // Two pictures held back for reordering, and one in the parser.
    const GstClockTime latency =
        gst_util_uint64_scale(3 * GST_SECOND, sequence.frame_period, 27000000);
    gst_video_decoder_set_latency(decoder, latency, latency);
    gst_video_codec_state_unref(output);
    if (!gst_video_decoder_negotiate(decoder)) {
        return GST_FLOW_NOT_NEGOTIATED;
    }
    d.sequence = sequence;
    d.negotiated = true;
    return GST_FLOW_OK;
}

// Lets go of the frames whose pictures libmpeg2 will not give out: those it began before a new
// sequence, and any it passed over as broken. (Their times say nothing: many streams time their
// pictures in decoding order.)
void ReleaseFramesBefore(GstVideoDecoder* decoder, const GstVideoCodecFrame* current)
{
    GList* frames = gst_video_decoder_get_frames(decoder);
    for (GList* item = frames; item != nullptr; item = item->next) {
        auto* frame = static_cast<GstVideoCodecFrame*>(item->data);
        if (current == nullptr || frame->system_frame_number != current->system_frame_number) {
            gst_video_decoder_release_frame(decoder, gst_video_codec_frame_ref(frame));
        }
    }
    g_list_free_full(frames, reinterpret_cast<GDestroyNotify>(gst_video_codec_frame_unref));
}

// A new sequence: libmpeg2 has let go of every picture, and takes them from here on.
GstFlowReturn BeginSequence(VessaMpeg2Dec* self, GstVideoCodecFrame* frame)
{
    Decoding& d = *self->decoding;
    ReleaseFramesBefore(GST_VIDEO_DECODER(self), frame);
    ReleasePictures(d);
    d.waitingForKey = true;
    const GstFlowReturn result = Negotiate(self);
    // The blank picture is laid out as the pool's are (libmpeg2 has one stride for all of them),
    // or at libmpeg2's own stride where the sequence's pictures are not kept.
    const mpeg2_sequence_t& sequence = *d.info->sequence;
    std::array<gsize, 3> offsets{};
    gsize size = 0;
    int stride = 0;
    if (d.negotiated) {
        for (guint plane = 0; plane < 3; ++plane) {
            offsets[plane] = d.decoded.offset[plane];
        }
        size = d.decoded.size;
        stride = d.decoded.stride[0];
    } else {
        const gsize luma = gsize{sequence.width} * sequence.height;
        const gsize chroma = gsize{sequence.chroma_width} * sequence.chroma_height;
        offsets = {0, luma, luma + chroma};
        size = luma + 2 * chroma;
        stride = static_cast<int>(sequence.width);
    }
    d.blank.assign(size + 16, 0);
    auto* base = reinterpret_cast<guint8*>((reinterpret_cast<std::uintptr_t>(d.blank.data()) + 15) &
                                           ~std::uintptr_t{15});
    d.blankPlanes = {base + offsets[0], base + offsets[1], base + offsets[2]};
    // libmpeg2 steps through the chroma planes at half the luma stride, or at the same.
    const int chromaStride = sequence.chroma_width < sequence.width ? stride / 2 : stride;
    if ((d.negotiated && d.decoded.stride[1] != chromaStride) ||
        mpeg2_stride(d.decoder, stride) != stride) {
        GST_ELEMENT_ERROR(self, CORE, FAILED, (nullptr),
                          ("libmpeg2 refused rows of %d bytes", stride));
        return GST_FLOW_ERROR;
    }
    mpeg2_custom_fbuf(d.decoder, 1);
    // libmpeg2 predicts from three pictures of its own at the start of a sequence: each is given
    // the blank one, so that a stream that starts with a predicted picture reads memory that is
    // there (the pictures made from it are not shown).
    for (int i = 0; i < 3; ++i) {
        mpeg2_set_buf(d.decoder, d.blankPlanes.data(), nullptr);
    }
    return result;
}

// The pictures of a restarted stream that are shown: from the first intra picture on, and the
// bidirectional pictures of a closed group before it, which predict from that one only.
bool ShowsAfterRestart(Decoding& d, const mpeg2_picture_t& picture)
{
    if (!d.waitingForKey) {
        return true;
    }
    const uint32_t type = picture.flags & PIC_MASK_CODING_TYPE;
    if (type == PIC_FLAG_CODING_TYPE_I) {
        d.waitingForKey = false;
        return true;
    }
    return type == PIC_FLAG_CODING_TYPE_B && d.info->gop != nullptr &&
           (d.info->gop->flags & GOP_FLAG_CLOSED_GOP) != 0;
}

GstFlowReturn BeginPicture(VessaMpeg2Dec* self, GstVideoCodecFrame* frame)
{
    Decoding& d = *self->decoding;
    GstVideoDecoder* decoder = GST_VIDEO_DECODER(self);
    const uint32_t type = d.info->current_picture->flags & PIC_MASK_CODING_TYPE;
    // A bidirectional picture that would come too late is not decoded at all: nothing predicts
    // from it.
    const bool late = frame != nullptr && type == PIC_FLAG_CODING_TYPE_B &&
                      gst_video_decoder_get_max_decode_time(decoder, frame) < 0;
    mpeg2_skip(d.decoder, late ? 1 : 0);
    d.frameBegun = d.frameBegun || frame != nullptr;
    void* const id = frame != nullptr ? GUINT_TO_POINTER(frame->system_frame_number + 1) : nullptr;
    if (frame == nullptr || late || !d.negotiated) {
        mpeg2_set_buf(d.decoder, d.blankPlanes.data(), id);
        return GST_FLOW_OK;
    }
    ReturnRetired(d, false);
    Picture picture;
    picture.number = frame->system_frame_number;
    GstFlowReturn result = gst_buffer_pool_acquire_buffer(d.pool, &picture.buffer, nullptr);
    if (result == GST_FLOW_OK) {
        picture.mapped =
            gst_video_frame_map(&picture.frame, &d.decoded, picture.buffer, GST_MAP_WRITE) != FALSE;
        bool fits = picture.mapped;
        for (guint plane = 0; fits && plane < GST_VIDEO_FRAME_N_PLANES(&picture.frame); ++plane) {
            fits = GST_VIDEO_FRAME_PLANE_STRIDE(&picture.frame, plane) == d.decoded.stride[plane];
        }
        if (!fits) {
            GST_ELEMENT_ERROR(self, CORE, FAILED, (nullptr),
                              ("a picture of the pool does not have the planes libmpeg2 needs"));
            result = GST_FLOW_ERROR;
        }
    }
    if (result != GST_FLOW_OK) {
        ReleasePicture(picture);
        mpeg2_set_buf(d.decoder, d.blankPlanes.data(), nullptr);
        return result;
    }
    GST_LOG_OBJECT(self, "decoding frame %u (type %u)", frame->system_frame_number, type);
    std::array<guint8*, 3> planes{};
    for (guint plane = 0; plane < GST_VIDEO_FRAME_N_PLANES(&picture.frame); ++plane) {
        planes[plane] = static_cast<guint8*>(GST_VIDEO_FRAME_PLANE_DATA(&picture.frame, plane));
    }
    mpeg2_set_buf(d.decoder, planes.data(), id);
    d.pictures.push_back(picture);
    return GST_FLOW_OK;
}

void SetFieldFlags(const Decoding& d, const mpeg2_picture_t& picture, GstBuffer* buffer)
{
    if ((d.sequence.flags & SEQ_FLAG_PROGRESSIVE_SEQUENCE) != 0) {
        return;
    }
    if ((picture.flags & PIC_FLAG_TOP_FIELD_FIRST) != 0) {
        GST_BUFFER_FLAG_SET(buffer, GST_VIDEO_BUFFER_FLAG_TFF);
    }
    if ((picture.flags & PIC_FLAG_PROGRESSIVE_FRAME) == 0) {
        GST_BUFFER_FLAG_SET(buffer, GST_VIDEO_BUFFER_FLAG_INTERLACED);
    }
    if ((picture.flags & PIC_FLAG_REPEAT_FIRST_FIELD) != 0) {
        GST_BUFFER_FLAG_SET(buffer, GST_VIDEO_BUFFER_FLAG_RFF);
    }
}

// The visible part of a padded picture, into a buffer of downstream's kind.
GstFlowReturn CopyOut(VessaMpeg2Dec* self, GstVideoCodecFrame* frame, GstBuffer* picture)
{
    Decoding& d = *self->decoding;
    GstVideoDecoder* decoder = GST_VIDEO_DECODER(self);
    GstFlowReturn result = gst_video_decoder_allocate_output_frame(decoder, frame);
    if (result != GST_FLOW_OK) {
        return result;
    }
    GstVideoCodecState* output = gst_video_decoder_get_output_state(decoder);
    GstVideoFrame from;
    GstVideoFrame to;
    if (gst_video_frame_map(&from, &d.decoded, picture, GST_MAP_READ)) {
        if (gst_video_frame_map(&to, &output->info, frame->output_buffer, GST_MAP_WRITE)) {
            if (!gst_video_frame_copy(&to, &from)) {
                result = GST_FLOW_ERROR;
            }
            gst_video_frame_unmap(&to);
        } else {
            result = GST_FLOW_ERROR;
        }
        gst_video_frame_unmap(&from);
    } else {
        result = GST_FLOW_ERROR;
    }
    gst_video_codec_state_unref(output);
    if (result == GST_FLOW_OK) {
        GST_BUFFER_FLAGS(frame->output_buffer) |= GST_BUFFER_FLAGS(picture);
    }
    return result;
}

// The picture libmpeg2 gives out for showing now, if any.
GstFlowReturn ShowPicture(VessaMpeg2Dec* self)
{
    Decoding& d = *self->decoding;
    GstVideoDecoder* decoder = GST_VIDEO_DECODER(self);
    const mpeg2_fbuf_t* shown = d.info->display_fbuf;
    if (shown == nullptr || shown->id == nullptr) {
        return GST_FLOW_OK;
    }
    GstVideoCodecFrame* frame =
        gst_video_decoder_get_frame(decoder, static_cast<int>(GPOINTER_TO_UINT(shown->id) - 1));
    if (frame == nullptr) {
        return GST_FLOW_OK; // its input was flushed away meanwhile
    }
    if (d.info->display_picture == nullptr) {
        return gst_video_decoder_drop_frame(decoder, frame);
    }
    const mpeg2_picture_t& picture = *d.info->display_picture;
    const auto found = FindPicture(d, shown);
    GST_LOG_OBJECT(self, "showing frame %u (type %u, flags 0x%x)%s", frame->system_frame_number,
                   picture.flags & PIC_MASK_CODING_TYPE, picture.flags,
                   found == d.pictures.end() ? ", not decoded here" : "");
    if (found == d.pictures.end() || (picture.flags & PIC_FLAG_SKIP) != 0 ||
        !ShowsAfterRestart(d, picture)) {
        return gst_video_decoder_drop_frame(decoder, frame);
    }
    Picture& decoded = *found;
    // Complete: nothing writes into it any more.
    if (decoded.mapped) {
        gst_video_frame_unmap(&decoded.frame);
        decoded.mapped = false;
    }
    SetFieldFlags(d, picture, decoded.buffer);
    // A picture nothing predicts from any more goes out itself, back to the pool once shown.
    const bool lastUse = d.info->discard_fbuf == shown;
    GstFlowReturn result = GST_FLOW_OK;
    if (d.copyOut) {
        result = CopyOut(self, frame, decoded.buffer);
    } else {
        frame->output_buffer = gst_buffer_ref(decoded.buffer);
    }
    if (lastUse) {
        ReleasePicture(decoded);
        d.pictures.erase(found);
    } else {
        // Still predicted from: read-only from here on, so that the picture downstream shares it.
        decoded.mapped =
            gst_video_frame_map(&decoded.frame, &d.decoded, decoded.buffer, GST_MAP_READ) != FALSE;
        if (!decoded.mapped) {
            GST_ELEMENT_ERROR(self, CORE, FAILED, (nullptr), ("a reference picture went away"));
            result = GST_FLOW_ERROR;
        }
    }
    if (result != GST_FLOW_OK) {
        gst_video_decoder_drop_frame(decoder, frame);
        return result;
    }
    return gst_video_decoder_finish_frame(decoder, frame);
}

// How many pictures may wait for downstream before they go back to the pool anyway (and are
// thrown away by it): more than any queue before a sink holds.
constexpr std::size_t kMaxRetired = 8;

void DiscardPicture(Decoding& d)
{
    const auto found = FindPicture(d, d.info->discard_fbuf);
    if (found == d.pictures.end()) {
        return;
    }
    if (found->mapped) {
        gst_video_frame_unmap(&found->frame);
    }
    d.retired.push_back(found->buffer);
    d.pictures.erase(found);
    if (d.retired.size() > kMaxRetired) {
        gst_buffer_unref(d.retired.front());
        d.retired.erase(d.retired.begin());
    }
}

// Runs libmpeg2 over what it was given last, until it wants more. `frame` is the frame whose
// picture that data holds, if any.
GstFlowReturn Parse(VessaMpeg2Dec* self, GstVideoCodecFrame* frame)
{
    Decoding& d = *self->decoding;
    GstFlowReturn result = GST_FLOW_OK;
    while (result == GST_FLOW_OK) {
        switch (mpeg2_parse(d.decoder)) {
        case STATE_BUFFER:
            return GST_FLOW_OK;
        case STATE_SEQUENCE:
            result = BeginSequence(self, frame);
            break;
        case STATE_SEQUENCE_MODIFIED:
            // The same pictures, told differently (an aspect ratio, a frame rate).
            result = Negotiate(self);
            break;
        case STATE_PICTURE:
            result = BeginPicture(self, frame);
            break;
        case STATE_SLICE:
        case STATE_END:
        case STATE_INVALID_END:
            result = ShowPicture(self);
            DiscardPicture(d);
            break;
        case STATE_INVALID:
            GST_VIDEO_DECODER_ERROR(self, 1, STREAM, DECODE, (nullptr),
                                    ("libmpeg2 found broken data"), result);
            break;
        default:
            break; // a group of pictures, a repeated sequence, a first field, a second field
        }
    }
    return result;
}

void Feed(Decoding& d, const guint8* data, gsize size)
{
    // libmpeg2 only reads its input, but takes it as writable.
    auto* start = const_cast<guint8*>(data);
    mpeg2_buffer(d.decoder, start, start + size);
}

// Forgets everything decoded so far, as after a seek. The stream's sequence header, from the
// parser's caps, is given again at once: a stream that repeats it rarely goes on decoding.
void Restart(VessaMpeg2Dec* self)
{
    Decoding& d = *self->decoding;
    if (d.decoder == nullptr) {
        return;
    }
    mpeg2_reset(d.decoder, 1);
    ReleasePictures(d);
    d.waitingForKey = true;
    GstBuffer* header = d.input != nullptr ? d.input->codec_data : nullptr;
    GstMapInfo map;
    if (header != nullptr && gst_buffer_map(header, &map, GST_MAP_READ)) {
        Feed(d, map.data, map.size);
        Parse(self, nullptr);
        gst_buffer_unmap(header, &map);
    }
}

void vessa_mpeg2_dec_init(VessaMpeg2Dec* self)
{
    self->decoding = new Decoding;
    // Packets are whole pictures (the parser puts them together): the frames' numbers tell
    // libmpeg2's pictures apart.
    gst_video_decoder_set_packetized(GST_VIDEO_DECODER(self), TRUE);
    gst_video_decoder_set_needs_format(GST_VIDEO_DECODER(self), TRUE);
}

gboolean Mpeg2Stop(GstVideoDecoder* decoder)
{
    Decoding& d = DecodingOf(decoder);
    ReleasePictures(d);
    if (d.decoder != nullptr) {
        mpeg2_close(d.decoder);
        d.decoder = nullptr;
        d.info = nullptr;
    }
    g_clear_pointer(&d.input, gst_video_codec_state_unref);
    SetPoolAside(d);
    d.negotiated = false;
    return TRUE;
}

void Mpeg2Finalize(GObject* object)
{
    auto* self = reinterpret_cast<VessaMpeg2Dec*>(object);
    Mpeg2Stop(GST_VIDEO_DECODER(self));
    delete self->decoding;
    G_OBJECT_CLASS(vessa_mpeg2_dec_parent_class)->finalize(object);
}

gboolean Mpeg2SetFormat(GstVideoDecoder* decoder, GstVideoCodecState* state)
{
    Decoding& d = DecodingOf(decoder);
    g_clear_pointer(&d.input, gst_video_codec_state_unref);
    d.input = gst_video_codec_state_ref(state);
    d.negotiated = false;
    if (d.decoder == nullptr) {
        d.decoder = mpeg2_init();
        if (d.decoder == nullptr) {
            return FALSE;
        }
        d.info = mpeg2_info(d.decoder);
    }
    Restart(reinterpret_cast<VessaMpeg2Dec*>(decoder));
    return TRUE;
}

gboolean Mpeg2DecideAllocation(GstVideoDecoder* decoder, GstQuery* query)
{
    Decoding& d = DecodingOf(decoder);
    GstCaps* caps = nullptr;
    gst_query_parse_allocation(query, &caps, nullptr);
    if (caps == nullptr) {
        return FALSE;
    }
    const bool padded = d.padding.padding_right != 0 || d.padding.padding_bottom != 0;
    d.copyOut =
        padded && gst_query_find_allocation_meta(query, GST_VIDEO_META_API_TYPE, nullptr) == FALSE;
    // Plain memory from the default allocator: its planes stay where they are from one mapping
    // to the next, which libmpeg2's references rely on.
    GstAllocationParams params;
    gst_allocation_params_init(&params);
    params.align = 15; // libmpeg2's planes start on 16 bytes
    GstBufferPool* pool = gst_video_buffer_pool_new();
    GstStructure* config = gst_buffer_pool_get_config(pool);
    gst_buffer_pool_config_set_params(config, caps, static_cast<guint>(d.decoded.size), 0, 0);
    gst_buffer_pool_config_set_allocator(config, nullptr, &params);
    gst_buffer_pool_config_add_option(config, GST_BUFFER_POOL_OPTION_VIDEO_META);
    gst_buffer_pool_config_add_option(config, GST_BUFFER_POOL_OPTION_VIDEO_ALIGNMENT);
    gst_buffer_pool_config_set_video_alignment(config, &d.padding);
    if (!gst_buffer_pool_set_config(pool, config)) {
        gst_object_unref(pool);
        return FALSE;
    }
    SetPoolAside(d);
    d.pool = pool;
    if (d.copyOut) {
        // The pictures are copied into downstream's own kind of buffer.
        d.poolActivatedHere = gst_buffer_pool_set_active(pool, TRUE) != FALSE;
        return d.poolActivatedHere && GST_VIDEO_DECODER_CLASS(vessa_mpeg2_dec_parent_class)
                                          ->decide_allocation(decoder, query);
    }
    // The decoded pictures themselves go downstream: the base class activates the pool.
    if (gst_query_get_n_allocation_pools(query) > 0) {
        gst_query_set_nth_allocation_pool(query, 0, pool, static_cast<guint>(d.decoded.size), 0, 0);
    } else {
        gst_query_add_allocation_pool(query, pool, static_cast<guint>(d.decoded.size), 0, 0);
    }
    return TRUE;
}

GstFlowReturn Mpeg2HandleFrame(GstVideoDecoder* decoder, GstVideoCodecFrame* frame)
{
    auto* self = reinterpret_cast<VessaMpeg2Dec*>(decoder);
    Decoding& d = *self->decoding;
    if (d.decoder == nullptr) {
        gst_video_decoder_drop_frame(decoder, frame);
        return GST_FLOW_NOT_NEGOTIATED;
    }
    GstMapInfo map;
    if (!gst_buffer_map(frame->input_buffer, &map, GST_MAP_READ)) {
        gst_video_decoder_drop_frame(decoder, frame);
        return GST_FLOW_ERROR;
    }
    d.frameBegun = false;
    Feed(d, map.data, map.size);
    const GstFlowReturn result = Parse(self, frame);
    gst_buffer_unmap(frame->input_buffer, &map);
    if (d.frameBegun) {
        gst_video_codec_frame_unref(frame); // still listed with the decoder until it is shown
    } else {
        // No picture began in it (a header alone, or data libmpeg2 passed over): nothing will
        // ever show it.
        gst_video_decoder_release_frame(decoder, frame);
    }
    return result;
}

GstFlowReturn Mpeg2Drain(GstVideoDecoder* decoder)
{
    auto* self = reinterpret_cast<VessaMpeg2Dec*>(decoder);
    Decoding& d = *self->decoding;
    if (d.decoder == nullptr) {
        return GST_FLOW_OK;
    }
    // The end of the sequence gives out the last reference picture.
    static const guint8 kSequenceEnd[] = {0x00, 0x00, 0x01, 0xb7};
    Feed(d, kSequenceEnd, sizeof kSequenceEnd);
    const GstFlowReturn result = Parse(self, nullptr);
    // Ready for more after the end: a seek back, or the next part of a stream.
    Restart(self);
    return result;
}

gboolean Mpeg2Flush(GstVideoDecoder* decoder)
{
    Restart(reinterpret_cast<VessaMpeg2Dec*>(decoder));
    return TRUE;
}

void vessa_mpeg2_dec_class_init(VessaMpeg2DecClass* klass)
{
    G_OBJECT_CLASS(klass)->finalize = &Mpeg2Finalize;
    GstElementClass* element = GST_ELEMENT_CLASS(klass);
    static GstStaticPadTemplate sink = GST_STATIC_PAD_TEMPLATE(
        "sink", GST_PAD_SINK, GST_PAD_ALWAYS,
        GST_STATIC_CAPS("video/mpeg, mpegversion=(int)[ 1, 2 ], systemstream=(boolean)false, "
                        "parsed=(boolean)true"));
    static GstStaticPadTemplate src =
        GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS,
                                GST_STATIC_CAPS(GST_VIDEO_CAPS_MAKE("{ I420, Y42B, Y444 }")));
    gst_element_class_add_static_pad_template(element, &sink);
    gst_element_class_add_static_pad_template(element, &src);
    gst_element_class_set_static_metadata(
        element, "MPEG-1 and MPEG-2 video decoder (libmpeg2)", "Codec/Decoder/Video",
        "Decodes MPEG-1 and MPEG-2 video with libmpeg2", "Vessa Video Player");
    GstVideoDecoderClass* video = GST_VIDEO_DECODER_CLASS(klass);
    video->stop = &Mpeg2Stop;
    video->set_format = &Mpeg2SetFormat;
    video->decide_allocation = &Mpeg2DecideAllocation;
    video->handle_frame = &Mpeg2HandleFrame;
    video->drain = &Mpeg2Drain;
    video->finish = &Mpeg2Drain;
    video->flush = &Mpeg2Flush;
}

gboolean RegisterElements(GstPlugin* plugin)
{
    return gst_element_register(plugin, "vessampeg2dec",
                                RankAbove({"mpeg2dec", "avdec_mpeg2video", "avdec_mpeg1video"}),
                                vessa_mpeg2_dec_get_type());
}

} // namespace

void RegisterMpeg2Decoder()
{
    GST_DEBUG_CATEGORY_INIT(s_mpeg2Debug, "vessampeg2", 0, "the player's libmpeg2 decoder");
    RegisterOwnDecoders("vessampeg2",
                        "libmpeg2's MPEG-1 and MPEG-2 video decoder, decoding in place", "GPL",
                        &RegisterElements);
}
