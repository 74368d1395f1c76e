#include "TimeoutRecorder.h"

#include <atomic>
#include <mutex>

namespace {
std::mutex callsMutex;
std::vector<TimeoutCall>& AllCalls() {
    static std::vector<TimeoutCall>* calls = new std::vector<TimeoutCall>;
    return *calls;
}
std::atomic<void (*)()> dispatchHook{nullptr};
struct Callback {
    GSourceFunc function;
    gpointer data;
};
// The callback travels through glib's locks, which ThreadSanitizer cannot
// see: it is read and released under callsMutex, like it was written.
gboolean Dispatch(gpointer callback) {
    if (auto hook = dispatchHook.load()) {
        hook();
    }
    std::unique_lock<std::mutex> lock(callsMutex);
    Callback const c = *static_cast<Callback*>(callback);
    lock.unlock();
    return c.function(c.data);
}
void Release(gpointer callback) {
    std::lock_guard<std::mutex> lock(callsMutex);
    delete static_cast<Callback*>(callback);
}
} // namespace

extern "C" guint g_timeout_add(guint interval, GSourceFunc function, gpointer data) {
    // Recorded under the lock so that the order of the calls is the order of the ids.
    std::lock_guard<std::mutex> lock(callsMutex);
    guint id = g_timeout_add_full(G_PRIORITY_DEFAULT, interval, &Dispatch,
                                  new Callback{function, data}, &Release);
    AllCalls().push_back({interval, function, data, id});
    return id;
}

namespace TimeoutRecorder {
std::vector<TimeoutCall> Calls() {
    std::lock_guard<std::mutex> lock(callsMutex);
    return AllCalls();
}
void Clear() {
    std::lock_guard<std::mutex> lock(callsMutex);
    AllCalls().clear();
}
bool IsLive(guint id) {
    return g_main_context_find_source_by_id(nullptr, id) != nullptr;
}
void SetDispatchHook(void (*hook)()) {
    dispatchHook.store(hook);
}
} // namespace TimeoutRecorder
