#pragma once

#include <string>
#include <vector>

// The test program defines syslog, openlog and their fortified forms itself;
// the dynamic linker binds libquor.so's calls to these definitions, so tests
// see every syslog line the library writes, in order.

struct SyslogLine {
    int priority;
    std::string text;
};

struct OpenlogCall {
    std::string ident; // "(null)" for a null ident
    int option;
    int facility;
};

// The lines logged since the last call, oldest first.
std::vector<SyslogLine> TakeSyslogLines();
// Every openlog call so far.
std::vector<OpenlogCall> OpenlogCalls();
