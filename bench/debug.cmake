# Trace facility: cost of suppressed, direct-printed and queued lines. With
# spdlog installed (scripts/bench installs it), the same program also runs
# spdlog's synchronous file logger; spdlog is linked into this program only.
quor_add_bench(bench_debug_trace debug_trace.cpp debug_empty_call.cpp)
find_package(spdlog QUIET)
if(spdlog_FOUND)
    target_sources(bench_debug_trace PRIVATE debug_trace_spdlog.cpp)
    target_link_libraries(bench_debug_trace PRIVATE spdlog::spdlog)
else()
    message(STATUS "spdlog not found: bench_debug_trace runs without its spdlog baseline")
endif()
