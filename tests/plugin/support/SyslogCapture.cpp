#include "SyslogCapture.h"

#include <syslog.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace {
std::mutex linesMutex;
std::vector<SyslogLine>& AllLines() {
    static std::vector<SyslogLine>* lines = new std::vector<SyslogLine>;
    return *lines;
}

// Records every call, masked or not: tests see whether the plugin itself
// leaves out the lines the log mask drops.
void Record(int priority, char const* format, va_list args) {
    char text[8192];
    std::vsnprintf(text, sizeof text, format, args);
    std::lock_guard<std::mutex> lock(linesMutex);
    AllLines().push_back({LOG_PRI(priority), text});
}
} // namespace

extern "C" {
void syslog(int priority, char const* format, ...) {
    va_list args;
    va_start(args, format);
    Record(priority, format, args);
    va_end(args);
}
void vsyslog(int priority, char const* format, va_list args) {
    Record(priority, format, args);
}
void __syslog_chk(int priority, int, char const* format, ...) {
    va_list args;
    va_start(args, format);
    Record(priority, format, args);
    va_end(args);
}
}

namespace SyslogCapture {
std::vector<SyslogLine> Lines() {
    std::lock_guard<std::mutex> lock(linesMutex);
    return AllLines();
}
void Clear() {
    std::lock_guard<std::mutex> lock(linesMutex);
    AllLines().clear();
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
} // namespace SyslogCapture
