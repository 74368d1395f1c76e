#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <vector>

#include "script/SILCompiler.h"
#include "script/SILProgram.h"
#include "script/SILRuntime.h"

// Counts the heap allocations of the whole process while `counting` is set:
// this program's malloc family replaces the C library's for libquor.so too.
// The sanitizers bring their own allocator, so there the test is skipped.

namespace {
std::atomic<bool> counting{false};
std::atomic<int> allocations{0};
[[maybe_unused]] void Count() {
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
}
} // namespace

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* malloc(std::size_t size) {
    Count();
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
    Count();
    return __libc_calloc(count, size);
}
void* realloc(void* pointer, std::size_t size) {
    Count();
    return __libc_realloc(pointer, size);
}
}
constexpr bool kCountable = true;
#else
constexpr bool kCountable = false;
#endif

namespace {

int Continue() {
    return 0;
}

TEST(SilRun, AllocatesNothing) {
    if (!kCountable) {
        GTEST_SKIP() << "the sanitizer's allocator cannot be counted";
    }
    std::string source = "VAR int i n\nVAR float f\nVAR str1024 s t\nSUB grow\n"
                         "s <- concat \"[i]:[f],\"\nn <- strlen s\nreturn\nMAIN\n"
                         "while i < 50\ni <- add i 1\nf <- div 1.0 4.0\ncall grow\n"
                         "if s != t\nt <- \"[s] [@n]\"\nendif\nwend";
    std::vector<int> program(4096);
    SILCompile(source.data(), program.data(), 4 * 4096);
    ASSERT_EQ(program[sil::kHeaderResult], 0) << SILLastError();

    counting = true;
    void* volatile probe = std::malloc(16); // the count sees an allocation
    std::free(probe);
    int const probed = allocations.exchange(0);
    SILRun(program.data(), 0, Continue);
    counting = false;
    EXPECT_EQ(probed, 1);
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_EQ(program[program.size() - 1], 50); // the loop ran to its end
}

} // namespace
