#include "debug_empty_call.h"

// Kept in its own file so that the compiler cannot see that it does nothing.
void EmptyTraceCall(unsigned /*unit*/, int /*level*/, char const* /*format*/, ...) {
    asm volatile("" ::: "memory");
}
