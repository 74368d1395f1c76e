#include "support/SyslogCapture.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace {

std::mutex captureMutex;

// Never destroyed: library threads may still log while the program exits.
std::vector<SyslogLine>& CapturedLines() {
    static auto* lines = new std::vector<SyslogLine>;
    return *lines;
}

std::vector<OpenlogCall>& CapturedOpenlogs() {
    static auto* calls = new std::vector<OpenlogCall>;
    return *calls;
}

void Capture(int priority, char const* format, va_list args) {
    char text[8192];
    std::vsnprintf(text, sizeof text, format, args);
    std::lock_guard<std::mutex> lock(captureMutex);
    CapturedLines().push_back(SyslogLine{priority, text});
}

} // namespace

namespace SyslogCapture {

std::vector<SyslogLine> Lines() {
    std::lock_guard<std::mutex> lock(captureMutex);
    return CapturedLines();
}

void Clear() {
    std::lock_guard<std::mutex> lock(captureMutex);
    CapturedLines().clear();
}

std::vector<SyslogLine> Take() {
    std::lock_guard<std::mutex> lock(captureMutex);
    std::vector<SyslogLine> lines;
    lines.swap(CapturedLines());
    return lines;
}

std::vector<SyslogLine> Matching(std::string const& needle) {
    std::vector<SyslogLine> found;
    for (auto const& line : Lines()) {
        if (line.text.find(needle) != std::string::npos) {
            found.push_back(line);
        }
    }
    return found;
}

int Count(std::string const& needle) {
    return static_cast<int>(Matching(needle).size());
}

std::string Dump() {
    std::string all;
    for (auto const& line : Lines()) {
        all += std::to_string(line.priority) + " " + line.text + "\n";
    }
    return all;
}

std::vector<OpenlogCall> OpenlogCalls() {
    std::lock_guard<std::mutex> lock(captureMutex);
    return CapturedOpenlogs();
}

} // namespace SyslogCapture

// Declared here rather than through <syslog.h>, whose declarations differ in
// attributes between C library versions.
extern "C" {

void openlog(char const* ident, int option, int facility) {
    std::lock_guard<std::mutex> lock(captureMutex);
    CapturedOpenlogs().push_back(
        OpenlogCall{ident != nullptr ? ident : "(null)", option, facility});
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
