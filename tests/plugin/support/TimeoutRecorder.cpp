#include "TimeoutRecorder.h"

#include <mutex>

namespace {
std::mutex callsMutex;
std::vector<TimeoutCall>& AllCalls() {
    static std::vector<TimeoutCall>* calls = new std::vector<TimeoutCall>;
    return *calls;
}
} // namespace

extern "C" guint g_timeout_add(guint interval, GSourceFunc function, gpointer data) {
    // Recorded under the lock so that the order of the calls is the order of the ids.
    std::lock_guard<std::mutex> lock(callsMutex);
    guint id = g_timeout_add_full(G_PRIORITY_DEFAULT, interval, function, data, nullptr);
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
} // namespace TimeoutRecorder
