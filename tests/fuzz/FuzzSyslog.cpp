// Formats syslog lines and drops them. Defined in the fuzz programs (which
// export them), these take the place of libc's for the calls from the
// libraries: without a syslog daemon, libc tries to connect for every line,
// which would slow a run down many times over. The format is still applied,
// so that the sanitizers see every argument read.
#include <cstdarg>
#include <cstdio>

namespace {

void Format(char const* format, va_list arguments) {
    char line[1024];
    std::vsnprintf(line, sizeof line, format, arguments);
}

} // namespace

// Declared here rather than through <syslog.h>, whose declarations differ in
// attributes between C library versions.
extern "C" {

void vsyslog(int, char const* format, va_list arguments) {
    Format(format, arguments);
}

void syslog(int, char const* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    Format(format, arguments);
    va_end(arguments);
}

void __vsyslog_chk(int, int, char const* format, va_list arguments) {
    Format(format, arguments);
}

void __syslog_chk(int, int, char const* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    Format(format, arguments);
    va_end(arguments);
}
}
