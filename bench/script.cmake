# SIL against Lua 5.4 embedded through its C API: the same loops per
# iteration, and the compile speed of a long script. Lua is linked into this
# program only.
pkg_check_modules(LUA REQUIRED IMPORTED_TARGET lua5.4)
quor_add_bench(bench_script_sil script_sil.cpp)
target_link_libraries(bench_script_sil PRIVATE PkgConfig::LUA)
quor_add_bench(bench_script_sysvars script_sysvars.cpp)
# Configuration files: a file of no-op shell commands against fgets alone.
quor_add_bench(bench_script_cfg_file script_cfg_file.cpp)
