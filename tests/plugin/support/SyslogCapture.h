#pragma once

#include <string>
#include <vector>

// The test programs define syslog (and its fortified and va_list forms)
// themselves; libquor.so's calls land here instead of in libc, so that tests
// see every line the plugin writes. Calls are recorded whatever the log
// mask says, so that tests see the calls a masked priority should not make.
struct SyslogLine {
    int priority;
    std::string text;
};

namespace SyslogCapture {
std::vector<SyslogLine> Lines();
void Clear();
// Lines whose text contains needle.
std::vector<SyslogLine> Matching(std::string const& needle);
int Count(std::string const& needle);
// Every line as "<priority> <text>\n", for failure messages.
std::string Dump();
} // namespace SyslogCapture
