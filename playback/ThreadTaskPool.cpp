#include "playback/ThreadTaskPool.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// The threads own the state they share with the pool: a task's last reference (and with it the
// pool's) may be dropped on one of the pool's own threads, which therefore can neither be joined
// there nor outlive what it reads. Told to stop, each thread ends once the queue is empty.
class CWorkers
{
public:
    CWorkers() : m_state(std::make_shared<State>()) {}
    CWorkers(const CWorkers&) = delete;
    CWorkers& operator=(const CWorkers&) = delete;

    ~CWorkers()
    {
        {
            std::lock_guard lock(m_state->mutex);
            m_state->bStop = true;
        }
        m_state->wake.notify_all();
    }

    // A waiting thread takes the task; with none waiting, the calling thread starts one.
    void Push(GstTaskPoolFunction func, gpointer data)
    {
        std::lock_guard lock(m_state->mutex);
        m_state->jobs.push_back({func, data});
        if (m_state->nIdle > 0) {
            --m_state->nIdle;
            m_state->wake.notify_one();
            return;
        }
        std::thread([state = m_state] { Work(*state); }).detach();
    }

private:
    struct Job
    {
        GstTaskPoolFunction func;
        gpointer data;
    };

    struct State
    {
        std::mutex mutex;
        std::condition_variable wake;
        std::deque<Job> jobs;
        int nIdle = 0;
        bool bStop = false;
    };

    static void Work(State& state)
    {
        std::unique_lock lock(state.mutex);
        for (;;) {
            state.wake.wait(lock, [&] { return state.bStop || !state.jobs.empty(); });
            if (state.jobs.empty()) {
                return; // stopping
            }
            const Job job = state.jobs.front();
            state.jobs.pop_front();
            lock.unlock();
            job.func(job.data);
            lock.lock();
            ++state.nIdle;
        }
    }

    std::shared_ptr<State> m_state;
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
