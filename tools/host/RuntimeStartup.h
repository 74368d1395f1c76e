#pragma once

// Starts and stops the runtime as a television process does: the trace
// facility, the debug shell, the script commands, the timer server and
// tracing to a trace directory. quor-host links this code; the demo host,
// which loads libquor.so with dlopen as the browser does, loads it as the
// module libquor-host-start.so and finds these two functions by name.

extern "C" {

// Receives every trace line and every plain output line of the runtime.
typedef void (*T_HostTraceOutput)(char const* text);

struct T_HostRuntimeOptions {
    char const* processName;
    // The debug shell's socket name; null for the default.
    char const* socketName;
    // Appended to the trace log's and the trace configuration file's names.
    char const* suffix;
    // Null: traces go straight to the screen. Otherwise the printer thread
    // hands them to this function and nothing else writes to the screen.
    T_HostTraceOutput traceOutput;
};

// Starts the runtime in this order: QuorTrace_Init, the trace output, the
// shell's built-in commands and its thread, the script commands, the timer
// server, tracing to the first trace directory found. Returns 1 when the
// debug shell serves its socket, 0 when it does not (another process serves
// the name, or the socket failed; the reason is printed).
int QuorHostStartRuntime(T_HostRuntimeOptions const* options);

// Aborts a running script, stops tracing to a file, stops every thread of
// the runtime and ends the queue registry's bookkeeping.
void QuorHostStopRuntime();

typedef int (*T_QuorHostStartRuntime)(T_HostRuntimeOptions const*);
typedef void (*T_QuorHostStopRuntime)();
}
