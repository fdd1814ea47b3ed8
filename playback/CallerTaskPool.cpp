#include "playback/CallerTaskPool.h"

namespace {

struct CCallerTaskPool
{
    GstTaskPool parent;
};

struct CCallerTaskPoolClass
{
    GstTaskPoolClass parent;
};

struct Job
{
    GstTaskPoolFunction func;
    gpointer data;
};

gpointer RunJob(gpointer data)
{
    Job* job = static_cast<Job*>(data);
    job->func(job->data);
    delete job;
    return nullptr;
}

// No shared pool to prepare or clean up: each task has a thread of its own.
void Prepare(GstTaskPool* /*pool*/, GError** /*error*/) {}
void Cleanup(GstTaskPool* /*pool*/) {}

// Called on the thread that starts the task; the new thread inherits that thread's nice value.
gpointer Push(GstTaskPool* /*pool*/, GstTaskPoolFunction func, gpointer data, GError** error)
{
    auto* job = new Job{func, data};
    GThread* thread = g_thread_try_new("vessa-measure", &RunJob, job, error);
    if (thread == nullptr) {
        delete job;
    }
    return thread;
}

void Join(GstTaskPool* /*pool*/, gpointer id)
{
    if (id != nullptr) {
        g_thread_join(static_cast<GThread*>(id));
    }
}

void DisposeHandle(GstTaskPool* /*pool*/, gpointer id)
{
    if (id != nullptr) {
        g_thread_unref(static_cast<GThread*>(id));
    }
}

void ClassInit(gpointer klass, gpointer /*data*/)
{
    auto* poolClass = static_cast<GstTaskPoolClass*>(klass);
    poolClass->prepare = &Prepare;
    poolClass->cleanup = &Cleanup;
    poolClass->push = &Push;
    poolClass->join = &Join;
    poolClass->dispose_handle = &DisposeHandle;
}

GType CallerTaskPoolType()
{
    static const GType type = g_type_register_static_simple(
        GST_TYPE_TASK_POOL, "VessaCallerTaskPool", sizeof(CCallerTaskPoolClass), &ClassInit,
        sizeof(CCallerTaskPool), nullptr, static_cast<GTypeFlags>(0));
    return type;
}

} // namespace

GstObject* NewCallerTaskPool()
{
    const GType type = CallerTaskPoolType();
    if (type == 0) {
        return nullptr;
    }
    return GST_OBJECT(gst_object_ref_sink(g_object_new(type, nullptr)));
}
