#pragma once

#include <string>
#include <vector>

// A test program linked with SyslogCapture defines syslog, vsyslog, openlog
// and their fortified forms itself. The dynamic linker binds libquor.so's
// calls to these definitions, so tests see every line the library writes, in
// order, with its full priority (facility included). Calls are recorded
// whatever the log mask says, so that tests also see the calls a masked
// priority should not make.

struct SyslogLine {
    int priority;
    std::string text;
};

struct OpenlogCall {
    std::string ident; // "(null)" for a null ident
    int option;
    int facility;
};

namespace SyslogCapture {
// Every line recorded since the last Clear or Take, oldest first.
std::vector<SyslogLine> Lines();
void Clear();
// The lines recorded since the last Clear or Take; forgets them.
std::vector<SyslogLine> Take();
// Lines whose text contains needle.
std::vector<SyslogLine> Matching(std::string const& needle);
int Count(std::string const& needle);
// Every line as "<priority> <text>\n", for failure messages.
std::string Dump();
// Every openlog call so far.
std::vector<OpenlogCall> OpenlogCalls();
} // namespace SyslogCapture
