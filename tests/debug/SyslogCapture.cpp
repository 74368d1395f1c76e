#include "debug/SyslogCapture.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace {

std::mutex captureMutex;
std::vector<SyslogLine> capturedLines;
std::vector<OpenlogCall> capturedOpenlogs;

void Capture(int priority, char const* format, va_list args) {
    char text[4096];
    std::vsnprintf(text, sizeof text, format, args);
    std::lock_guard<std::mutex> lock(captureMutex);
    capturedLines.push_back(SyslogLine{priority, text});
}

} // namespace

std::vector<SyslogLine> TakeSyslogLines() {
    std::lock_guard<std::mutex> lock(captureMutex);
    std::vector<SyslogLine> lines;
    lines.swap(capturedLines);
    return lines;
}

std::vector<OpenlogCall> OpenlogCalls() {
    std::lock_guard<std::mutex> lock(captureMutex);
    return capturedOpenlogs;
}

// Declared here rather than through <syslog.h>, whose declarations differ in
// attributes between C library versions.
extern "C" {

void openlog(char const* ident, int option, int facility) {
    std::lock_guard<std::mutex> lock(captureMutex);
    capturedOpenlogs.push_back(OpenlogCall{ident != nullptr ? ident : "(null)", option, facility});
}

void closelog() {}

void vsyslog(int priority, char const* format, va_list args) {
    Capture(priority, format, args);
}

void syslog(int priority, char const* format, ...) {
    va_list args;
    va_start(args, format);
    Capture(priority, format, args);
    va_end(args);
}

void __vsyslog_chk(int priority, int, char const* format, va_list args) {
    Capture(priority, format, args);
}

void __syslog_chk(int priority, int, char const* format, ...) {
    va_list args;
    va_start(args, format);
    Capture(priority, format, args);
    va_end(args);
}
}
