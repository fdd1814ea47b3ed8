#include "playback/ThreadTaskPool.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {

class CWorkers
{
public:
    CWorkers() = default;
    CWorkers(const CWorkers&) = delete;
    CWorkers& operator=(const CWorkers&) = delete;

    ~CWorkers()
    {
        {
            std::lock_guard lock(m_mutex);
            m_bStop = true;
        }
        m_wake.notify_all();
        for (std::thread& thread : m_threads) {
            thread.join();
        }
    }

    // A waiting thread takes the task; with none waiting, the calling thread starts one.
    void Push(GstTaskPoolFunction func, gpointer data)
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back({func, data});
        if (m_nIdle > 0) {
            --m_nIdle;
            m_wake.notify_one();
            return;
        }
        m_threads.emplace_back([this] { Work(); });
    }

private:
    struct Job
    {
        GstTaskPoolFunction func;
        gpointer data;
    };

    void Work()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_bStop || !m_jobs.empty(); });
            if (m_jobs.empty()) {
                return; // stopping
            }
            const Job job = m_jobs.front();
            m_jobs.pop_front();
            lock.unlock();
            job.func(job.data);
            lock.lock();
            ++m_nIdle;
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    std::vector<std::thread> m_threads;
    int m_nIdle = 0;
    bool m_bStop = false;
};

struct CThreadTaskPool
{
    GstTaskPool parent;
    CWorkers* pWorkers;
};

struct CThreadTaskPoolClass
{
    GstTaskPoolClass parent;
};

GstTaskPoolClass* g_parentClass = nullptr;

// Nothing to prepare or clean up: the threads belong to the pool object itself.
void Prepare(GstTaskPool* /*pool*/, GError** /*error*/) {}
void Cleanup(GstTaskPool* /*pool*/) {}

gpointer Push(GstTaskPool* pool, GstTaskPoolFunction func, gpointer data, GError** /*error*/)
{
    reinterpret_cast<CThreadTaskPool*>(pool)->pWorkers->Push(func, data);
    return nullptr; // a task waits for its own end; there is no handle to join
}

void Join(GstTaskPool* /*pool*/, gpointer /*id*/) {}

void Finalize(GObject* object)
{
    delete reinterpret_cast<CThreadTaskPool*>(object)->pWorkers;
    G_OBJECT_CLASS(g_parentClass)->finalize(object);
}

void ClassInit(gpointer klass, gpointer /*data*/)
{
    g_parentClass = static_cast<GstTaskPoolClass*>(g_type_class_peek_parent(klass));
    G_OBJECT_CLASS(klass)->finalize = &Finalize;
    auto* poolClass = static_cast<GstTaskPoolClass*>(klass);
    poolClass->prepare = &Prepare;
    poolClass->cleanup = &Cleanup;
    poolClass->push = &Push;
    poolClass->join = &Join;
}

void InstanceInit(GTypeInstance* instance, gpointer /*klass*/)
{
    reinterpret_cast<CThreadTaskPool*>(instance)->pWorkers = new CWorkers();
}

GType ThreadTaskPoolType()
{
    static const GType type = g_type_register_static_simple(
        GST_TYPE_TASK_POOL, "VessaThreadTaskPool", sizeof(CThreadTaskPoolClass), &ClassInit,
        sizeof(CThreadTaskPool), &InstanceInit, static_cast<GTypeFlags>(0));
    return type;
}

} // namespace

GstObject* NewThreadTaskPool()
{
    const GType type = ThreadTaskPoolType();
    if (type == 0) {
        return nullptr;
    }
    return GST_OBJECT(gst_object_ref_sink(g_object_new(type, nullptr)));
}
