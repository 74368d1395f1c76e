// Thread creation that always fails, for the program that tests how start-up
// copes with it. Defined in the test program, it takes the place of the C
// library's pthread_create for libquor.so as well. Kept in its own file:
// <pthread.h> declares the function with attributes of its own.
#include <cerrno>

extern "C" int pthread_create(void* /*thread*/, void const* /*attributes*/,
                              void* (* /*start*/)(void*), void* /*argument*/) {
    return EAGAIN;
}
