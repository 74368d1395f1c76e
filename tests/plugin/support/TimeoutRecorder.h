#pragma once

#include <glib.h>

#include <vector>

// The test programs define g_timeout_add themselves (forwarding to
// g_timeout_add_full), so that tests see the interval of every timeout the
// plugin adds.
struct TimeoutCall {
    guint interval;
    GSourceFunc function;
    gpointer data;
    guint id;
};

namespace TimeoutRecorder {
std::vector<TimeoutCall> Calls();
void Clear();
// Whether the source with this id is still attached to the default context.
bool IsLive(guint id);
// Runs hook (null: nothing) at the start of every recorded timeout's
// callback, to widen the window between glib's choice of a source and it.
void SetDispatchHook(void (*hook)());
} // namespace TimeoutRecorder
