// What the machine offers for video output, looked at once per process.

#include "playback/ParkingWindow.h"
#include "playback/SinkFactory.h"

#ifdef VESSA_HAVE_GSTGL
#include <gst/gl/gl.h>
#include <gst/gl/gstglfuncs.h>

#include <dlfcn.h>
#endif

#include <filesystem>
#include <optional>

namespace {

// xvimagesink checks the server's adaptors on its way to READY, and refuses there when none can
// show video; the refusal goes to its bus, which nobody reads, so nothing is printed.
bool XVideoSinkWorks()
{
    const GstElementHandle sink = AdoptElement(gst_element_factory_make("xvimagesink", nullptr));
    if (sink == nullptr) {
        return false;
    }
    const bool ok = gst_element_set_state(sink.get(), GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
    gst_element_set_state(sink.get(), GST_STATE_NULL);
    return ok;
}

// A hardware renderer needs a device node; without one only a software rasteriser can answer, and
// making a GL context just to hear that costs start-up time.
bool HasGpuDevice()
{
    std::error_code error;
    return std::filesystem::exists("/dev/dri", error) ||
           std::filesystem::exists("/dev/nvidia0", error);
}

bool HasElement(const char* name)
{
    GstElementFactory* factory = gst_element_factory_find(name);
    if (factory == nullptr) {
        return false;
    }
    gst_object_unref(factory);
    return true;
}

#ifdef VESSA_HAVE_GSTGL
// GStreamer's GL library, opened only when a renderer has to be asked. Linked, it would load GL,
// EGL, Wayland and DRM libraries into every start of the player, which costs start-up time on
// every machine for a question that most never ask.
struct GlLibrary
{
    decltype(&gst_gl_display_new) displayNew = nullptr;
    decltype(&gst_gl_context_new) contextNew = nullptr;
    decltype(&gst_gl_context_create) contextCreate = nullptr;
    decltype(&gst_gl_context_thread_add) threadAdd = nullptr;
};

template <class Function>
bool Resolve(void* library, const char* name, Function* function)
{
    *function = reinterpret_cast<Function>(::dlsym(library, name));
    return *function != nullptr;
}

std::optional<GlLibrary> OpenGlLibrary()
{
    // Never closed: GL drivers do not take being unloaded well.
    void* library = ::dlopen("libgstgl-1.0.so.0", RTLD_NOW | RTLD_LOCAL);
    GlLibrary gl;
    if (library == nullptr || !Resolve(library, "gst_gl_display_new", &gl.displayNew) ||
        !Resolve(library, "gst_gl_context_new", &gl.contextNew) ||
        !Resolve(library, "gst_gl_context_create", &gl.contextCreate) ||
        !Resolve(library, "gst_gl_context_thread_add", &gl.threadAdd)) {
        return std::nullopt;
    }
    return gl;
}
#endif

} // namespace

std::string ProbeGlRenderer()
{
#ifdef VESSA_HAVE_GSTGL
    if (!HasX11Display()) {
        return {};
    }
    static const std::optional<GlLibrary> gl = OpenGlLibrary();
    if (!gl) {
        return {};
    }
    GstGLDisplay* display = gl->displayNew();
    GstGLContext* context = gl->contextNew(display);
    std::string renderer;
    GError* error = nullptr;
    if (context != nullptr && gl->contextCreate(context, nullptr, &error)) {
        // GL calls belong on the context's own thread.
        gl->threadAdd(
            context,
            [](GstGLContext* current, gpointer data) {
                constexpr GLenum kRenderer = 0x1F01; // GL_RENDERER
                const GLubyte* name = current->gl_vtable->GetString(kRenderer);
                if (name != nullptr) {
                    *static_cast<std::string*>(data) = reinterpret_cast<const char*>(name);
                }
            },
            &renderer);
    }
    const GErrorHandle errorHandle(error);
    if (context != nullptr) {
        gst_object_unref(context);
    }
    gst_object_unref(display);
    return renderer;
#else
    return {};
#endif
}

void ConnectVideoOutput()
{
    HasX11Display();
}

VideoOutputFacts ProbeVideoOutput()
{
    VideoOutputFacts facts;
    facts.bDisplay = HasX11Display();
    if (!facts.bDisplay) {
        return facts;
    }
    facts.bXVideo = XServerOffersVideoAdaptor() && XVideoSinkWorks();
    if (facts.bXVideo) {
        return facts; // the first choice: nothing else needs looking at
    }
    facts.bGlSink = HasElement("glimagesink");
    if (facts.bGlSink && HasGpuDevice()) {
        facts.strGlRenderer = ProbeGlRenderer();
    }
    return facts;
}
