# Debug shell: socket round trip against a raw datagram ping-pong, and the
# cost of one command line.
quor_add_bench(bench_shell shell.cpp)
