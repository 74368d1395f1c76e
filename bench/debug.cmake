# Trace facility: cost of suppressed, direct-printed and queued lines.
quor_add_bench(bench_debug_trace debug_trace.cpp debug_empty_call.cpp)
