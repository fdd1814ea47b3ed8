#pragma once

#include <glib.h>
#include <gst/gst.h>

#include <memory>

// Owning handles for GStreamer's reference-counted objects: each releases its reference with the
// matching unref when it goes out of scope.

struct GstObjectUnref
{
    void operator()(gpointer object) const { gst_object_unref(object); }
};
struct GstMessageUnref
{
    void operator()(GstMessage* message) const { gst_message_unref(message); }
};
struct GstQueryUnref
{
    void operator()(GstQuery* query) const { gst_query_unref(query); }
};
struct GErrorFree
{
    void operator()(GError* error) const { g_error_free(error); }
};
struct GFree
{
    void operator()(gpointer memory) const { g_free(memory); }
};

using GstElementHandle = std::unique_ptr<GstElement, GstObjectUnref>;
using GstBusHandle = std::unique_ptr<GstBus, GstObjectUnref>;
using GstPadHandle = std::unique_ptr<GstPad, GstObjectUnref>;
using GstMessageHandle = std::unique_ptr<GstMessage, GstMessageUnref>;
using GstQueryHandle = std::unique_ptr<GstQuery, GstQueryUnref>;
using GErrorHandle = std::unique_ptr<GError, GErrorFree>;
using GCharHandle = std::unique_ptr<gchar, GFree>;

// Takes a new reference to an object that someone else owns.
template <class T>
std::unique_ptr<T, GstObjectUnref> RefObject(T* object)
{
    return std::unique_ptr<T, GstObjectUnref>(
        object != nullptr ? static_cast<T*>(gst_object_ref(object)) : nullptr);
}

// Takes ownership of a floating reference (a freshly made element), so that adding it to a bin
// later does not steal the handle's reference.
inline GstElementHandle AdoptElement(GstElement* element)
{
    return GstElementHandle(element != nullptr ? GST_ELEMENT(gst_object_ref_sink(element))
                                               : nullptr);
}
