quor_add_bench(bench_plugin_clock plugin_clock.cpp)
target_link_libraries(bench_plugin_clock PRIVATE PkgConfig::GLIB)
