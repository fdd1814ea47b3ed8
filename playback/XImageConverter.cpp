#include "playback/XImageConverter.h"

#include <gst/video/gstvideofilter.h>
#include <gst/video/video.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The colour matrix in 16-bit fixed point. Sums are kept with five bits below the unit, so that
// every term fits a signed 16-bit lane with room to spare (the largest, full-scale white plus the
// strongest chroma term, stays under 19000) and the result is within one step of the exact one.
constexpr int kFractionBits = 5;

struct Matrix
{
    // Luma: (y * 257 * luma) >> 16 is y scaled by the range's gain, in fixed point.
    int16_t luma;
    // Chroma: ((c - 128) << 8) * k >> 16 is the term of c in fixed point.
    int16_t vToRed;
    int16_t uToGreen;
    int16_t vToGreen;
    int16_t uToBlue;
    // The luma range's black level taken off, plus a half for rounding.
    int16_t bias;
};

bool MatrixFor(const GstVideoInfo& info, Matrix* matrix)
{
    gdouble kr = 0;
    gdouble kb = 0;
    if (!gst_video_color_matrix_get_Kr_Kb(info.colorimetry.matrix, &kr, &kb)) {
        return false; // RGB or unknown: not a YCbCr matrix
    }
    gint offset[GST_VIDEO_MAX_COMPONENTS];
    gint scale[GST_VIDEO_MAX_COMPONENTS];
    gst_video_color_range_offsets(info.colorimetry.range, info.finfo, offset, scale);
    if (offset[1] != 128 || offset[2] != 128 || scale[0] <= 0 || scale[1] <= 0) {
        return false;
    }
    const double unit = 1 << kFractionBits;
    const double lumaGain = 255.0 / scale[0];
    const double chromaGain = 255.0 / scale[1];
    const double kg = 1.0 - kr - kb;
    // (c - 128) << 8 times k, the upper half: (c - 128) * k / 256.
    const auto chroma = [&](double coefficient) {
        return static_cast<int16_t>(std::lround(coefficient * chromaGain * unit * 256.0));
    };
    // y * 257 * k >> 16 is y * k / 255.004.
    matrix->luma = static_cast<int16_t>(std::lround(lumaGain * unit * 65536.0 / 257.0));
    matrix->vToRed = chroma(2.0 * (1.0 - kr));
    matrix->uToGreen = chroma(-2.0 * kb * (1.0 - kb) / kg);
    matrix->vToGreen = chroma(-2.0 * kr * (1.0 - kr) / kg);
    matrix->uToBlue = chroma(2.0 * (1.0 - kb));
    matrix->bias = static_cast<int16_t>(std::lround(-offset[0] * lumaGain * unit) + unit / 2);
    return true;
}

// One pixel, with the very arithmetic of the vector path: the same lanes' truncations, so that a
// row's last pixels look as its first.
inline int HighHalf(int a, int b)
{
    return (a * b) >> 16;
}

inline int Luma(const Matrix& m, guint8 y)
{
    return static_cast<int>((y * 257U * static_cast<uint16_t>(m.luma)) >> 16) + m.bias;
}

inline guint8 Channel(int sum)
{
    return static_cast<guint8>(std::clamp(sum >> kFractionBits, 0, 255));
}

void ConvertPixels(const Matrix& m, const guint8* y, const guint8* u, const guint8* v, guint8* out,
                   int from, int to)
{
    for (int x = from; x < to; ++x) {
        const int luma = Luma(m, y[x]);
        const int cu = (u[x / 2] - 128) * 256;
        const int cv = (v[x / 2] - 128) * 256;
        guint8* pixel = out + 4 * x;
        pixel[0] = Channel(luma + HighHalf(cu, m.uToBlue));
        pixel[1] = Channel(luma + HighHalf(cu, m.uToGreen) + HighHalf(cv, m.vToGreen));
        pixel[2] = Channel(luma + HighHalf(cv, m.vToRed));
        pixel[3] = 0xff;
    }
}

#if defined(__SSE2__)
struct Lanes
{
    __m128i luma, vToRed, uToGreen, vToGreen, uToBlue, bias;
};

// Eight pixels' channels, each a 16-bit lane, before narrowing: y doubled up in a lane is y * 257,
// chroma in the lane's upper byte less 0x8000 is (c - 128) << 8.
inline void ConvertEight(const Lanes& k, __m128i y, __m128i u, __m128i v, __m128i* blue,
                         __m128i* green, __m128i* red)
{
    const __m128i luma = _mm_add_epi16(_mm_mulhi_epu16(y, k.luma), k.bias);
    const __m128i middle = _mm_set1_epi16(static_cast<short>(0x8000));
    u = _mm_sub_epi16(u, middle);
    v = _mm_sub_epi16(v, middle);
    *blue = _mm_srai_epi16(_mm_add_epi16(luma, _mm_mulhi_epi16(u, k.uToBlue)), kFractionBits);
    *green = _mm_srai_epi16(_mm_add_epi16(_mm_add_epi16(luma, _mm_mulhi_epi16(u, k.uToGreen)),
                                          _mm_mulhi_epi16(v, k.vToGreen)),
                            kFractionBits);
    *red = _mm_srai_epi16(_mm_add_epi16(luma, _mm_mulhi_epi16(v, k.vToRed)), kFractionBits);
}

// Sixteen pixels at a time; returns how many were converted.
int ConvertRowVector(const Matrix& m, const guint8* y, const guint8* u, const guint8* v,
                     guint8* out, int width)
{
    const Lanes k{_mm_set1_epi16(m.luma),     _mm_set1_epi16(m.vToRed),  _mm_set1_epi16(m.uToGreen),
                  _mm_set1_epi16(m.vToGreen), _mm_set1_epi16(m.uToBlue), _mm_set1_epi16(m.bias)};
    const __m128i zero = _mm_setzero_si128();
    const __m128i opaque = _mm_set1_epi8(static_cast<char>(0xff));
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m128i luma = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y + x));
        __m128i cb = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(u + x / 2));
        __m128i cr = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(v + x / 2));
        cb = _mm_unpacklo_epi8(cb, cb); // each chroma sample serves two pixels
        cr = _mm_unpacklo_epi8(cr, cr);
        __m128i b0, g0, r0, b1, g1, r1;
        ConvertEight(k, _mm_unpacklo_epi8(luma, luma), _mm_unpacklo_epi8(zero, cb),
                     _mm_unpacklo_epi8(zero, cr), &b0, &g0, &r0);
        ConvertEight(k, _mm_unpackhi_epi8(luma, luma), _mm_unpackhi_epi8(zero, cb),
                     _mm_unpackhi_epi8(zero, cr), &b1, &g1, &r1);
        const __m128i blue = _mm_packus_epi16(b0, b1);
        const __m128i green = _mm_packus_epi16(g0, g1);
        const __m128i red = _mm_packus_epi16(r0, r1);
        const __m128i bgLow = _mm_unpacklo_epi8(blue, green);
        const __m128i bgHigh = _mm_unpackhi_epi8(blue, green);
        const __m128i rxLow = _mm_unpacklo_epi8(red, opaque);
        const __m128i rxHigh = _mm_unpackhi_epi8(red, opaque);
        auto* pixels = reinterpret_cast<__m128i*>(out + 4 * x);
        _mm_storeu_si128(pixels, _mm_unpacklo_epi16(bgLow, rxLow));
        _mm_storeu_si128(pixels + 1, _mm_unpackhi_epi16(bgLow, rxLow));
        _mm_storeu_si128(pixels + 2, _mm_unpacklo_epi16(bgHigh, rxHigh));
        _mm_storeu_si128(pixels + 3, _mm_unpackhi_epi16(bgHigh, rxHigh));
    }
    return x;
}
#else
int ConvertRowVector(const Matrix&, const guint8*, const guint8*, const guint8*, guint8*, int)
{
    return 0;
}
#endif

void ConvertI420ToBgrx(const Matrix& matrix, const GstVideoFrame* in, GstVideoFrame* out)
{
    const int width = GST_VIDEO_FRAME_WIDTH(out);
    const int height = GST_VIDEO_FRAME_HEIGHT(out);
    for (int row = 0; row < height; ++row) {
        const auto line = [&](const GstVideoFrame* frame, int plane, int planeRow) {
            return static_cast<guint8*>(GST_VIDEO_FRAME_PLANE_DATA(frame, plane)) +
                   static_cast<gsize>(planeRow) * GST_VIDEO_FRAME_PLANE_STRIDE(frame, plane);
        };
        const guint8* y = line(in, 0, row);
        const guint8* u = line(in, 1, row / 2);
        const guint8* v = line(in, 2, row / 2);
        guint8* pixels = line(out, 0, row);
        const int done = ConvertRowVector(matrix, y, u, v, pixels, width);
        ConvertPixels(matrix, y, u, v, pixels, done, width);
    }
}

struct VessaXImageConvert
{
    GstVideoFilter parent;
    Matrix matrix;
    // For streams whose matrix the quick path does not know.
    GstVideoConverter* fallback;
};

struct VessaXImageConvertClass
{
    GstVideoFilterClass parent;
};

GType vessa_ximage_convert_get_type();
G_DEFINE_TYPE(VessaXImageConvert, vessa_ximage_convert, GST_TYPE_VIDEO_FILTER)

VessaXImageConvert* Self(gpointer object)
{
    return reinterpret_cast<VessaXImageConvert*>(object);
}

// Whether a structure's format field admits the format named.
bool Admits(const GstStructure* structure, const char* format)
{
    const GValue* field = gst_structure_get_value(structure, "format");
    if (field == nullptr) {
        return true;
    }
    GValue wanted = G_VALUE_INIT;
    g_value_init(&wanted, G_TYPE_STRING);
    g_value_set_static_string(&wanted, format);
    // (Whether two values can intersect says only whether their types agree.)
    const bool admits = gst_value_intersect(nullptr, field, &wanted);
    g_value_unset(&wanted);
    return admits;
}

// Everything passes as it is; besides, I420 becomes BGRx going down, and BGRx wanted below can be
// had from I420 going up. A converted picture keeps its size, rate and pixel shape; the colour
// description belongs to the YCbCr side only.
GstCaps* ConvertTransformCaps(GstBaseTransform*, GstPadDirection direction, GstCaps* caps,
                              GstCaps* filter)
{
    const char* from = direction == GST_PAD_SINK ? "I420" : "BGRx";
    const char* to = direction == GST_PAD_SINK ? "BGRx" : "I420";
    GstCaps* result = gst_caps_copy(caps);
    GstCaps* converted = gst_caps_new_empty();
    for (guint i = 0; i < gst_caps_get_size(caps); ++i) {
        const GstStructure* structure = gst_caps_get_structure(caps, i);
        if (!Admits(structure, from)) {
            continue;
        }
        GstStructure* other = gst_structure_copy(structure);
        gst_structure_set(other, "format", G_TYPE_STRING, to, nullptr);
        gst_structure_remove_fields(other, "colorimetry", "chroma-site", nullptr);
        gst_caps_append_structure(converted, other);
    }
    result = gst_caps_merge(result, converted);
    if (filter != nullptr) {
        GstCaps* filtered = gst_caps_intersect_full(filter, result, GST_CAPS_INTERSECT_FIRST);
        gst_caps_unref(result);
        result = filtered;
    }
    return result;
}

gboolean ConvertSetInfo(GstVideoFilter* filter, GstCaps*, GstVideoInfo* in, GstCaps*,
                        GstVideoInfo* out)
{
    VessaXImageConvert* self = Self(filter);
    g_clear_pointer(&self->fallback, gst_video_converter_free);
    const bool same = GST_VIDEO_INFO_FORMAT(in) == GST_VIDEO_INFO_FORMAT(out);
    gst_base_transform_set_passthrough(GST_BASE_TRANSFORM(filter), same);
    if (same) {
        return TRUE;
    }
    if (GST_VIDEO_INFO_WIDTH(in) != GST_VIDEO_INFO_WIDTH(out) ||
        GST_VIDEO_INFO_HEIGHT(in) != GST_VIDEO_INFO_HEIGHT(out)) {
        return FALSE;
    }
    // Interlaced pictures' chroma rows belong to the fields, two rows apart: GStreamer's converter
    // knows how to spread them.
    if (!GST_VIDEO_INFO_IS_INTERLACED(in) && MatrixFor(*in, &self->matrix)) {
        return TRUE;
    }
    self->fallback = gst_video_converter_new(in, out, nullptr);
    return self->fallback != nullptr;
}

GstFlowReturn ConvertFrame(GstVideoFilter* filter, GstVideoFrame* in, GstVideoFrame* out)
{
    VessaXImageConvert* self = Self(filter);
    if (self->fallback != nullptr) {
        gst_video_converter_frame(self->fallback, in, out);
    } else {
        ConvertI420ToBgrx(self->matrix, in, out);
    }
    return GST_FLOW_OK;
}

gboolean ConvertStop(GstBaseTransform* transform)
{
    g_clear_pointer(&Self(transform)->fallback, gst_video_converter_free);
    return TRUE;
}

void ConvertFinalize(GObject* object)
{
    g_clear_pointer(&Self(object)->fallback, gst_video_converter_free);
    G_OBJECT_CLASS(vessa_ximage_convert_parent_class)->finalize(object);
}

void vessa_ximage_convert_init(VessaXImageConvert* self)
{
    // As GStreamer's converters do: a picture already too late to be shown is not converted.
    gst_base_transform_set_qos_enabled(GST_BASE_TRANSFORM(self), TRUE);
}

void vessa_ximage_convert_class_init(VessaXImageConvertClass* klass)
{
    G_OBJECT_CLASS(klass)->finalize = &ConvertFinalize;
    GstElementClass* element = GST_ELEMENT_CLASS(klass);
    static GstStaticPadTemplate sink = GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS,
                                                               GST_STATIC_CAPS("video/x-raw"));
    static GstStaticPadTemplate src =
        GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS("video/x-raw"));
    gst_element_class_add_static_pad_template(element, &sink);
    gst_element_class_add_static_pad_template(element, &src);
    gst_element_class_set_static_metadata(
        element, "I420 to X image converter", "Filter/Converter/Video",
        "Converts I420 pictures to the X server's BGRx pixels", "Vessa Video Player");
    GstBaseTransformClass* transform = GST_BASE_TRANSFORM_CLASS(klass);
    transform->transform_caps = &ConvertTransformCaps;
    transform->stop = &ConvertStop;
    GstVideoFilterClass* video = GST_VIDEO_FILTER_CLASS(klass);
    video->set_info = &ConvertSetInfo;
    video->transform_frame = &ConvertFrame;
}

} // namespace

GstElement* MakeXImageConverter()
{
    return GST_ELEMENT(g_object_new(vessa_ximage_convert_get_type(), nullptr));
}
