#pragma once

#include <syslog.h>

#include <sstream>

// The plugin logs through syslog, one line per operation, as
//   "html5-video-plugin: <signature>: <text>".
// The text of the plugin object's lines repeats that prefix; the factory's
// lines carry only their words. No text is built for a priority that the
// process's log mask drops.

inline bool PluginLogEnabled(int priority) {
    return (setlogmask(0) & LOG_MASK(priority)) != 0;
}

// One line, collected with << and written when the object goes away.
class PluginLogLine {
public:
    PluginLogLine(int priority, char const* signature, bool prefixed);
    ~PluginLogLine();
    PluginLogLine(PluginLogLine const&) = delete;
    PluginLogLine& operator=(PluginLogLine const&) = delete;

    template <typename T> PluginLogLine& operator<<(T const& value) {
        m_text << value;
        return *this;
    }

private:
    int m_priority;
    char const* m_signature;
    std::ostringstream m_text;
};

// Turns the line expression into void for the conditional in the macros.
struct PluginLogVoidify {
    void operator&(PluginLogLine const&) {}
};

// A line of the plugin object under another operation's signature.
#define PLUGIN_LOG_AS(priority, signature)                                                         \
    !PluginLogEnabled(priority) ? (void)0                                                          \
                                : PluginLogVoidify() & PluginLogLine(priority, signature, true)

#define PLUGIN_LOG_AT(priority) PLUGIN_LOG_AS(priority, __PRETTY_FUNCTION__)

// An info line of the plugin object: PLUGIN_LOG << "this=" << this;
#define PLUGIN_LOG PLUGIN_LOG_AT(LOG_INFO)

// An info line when logging, for hot paths that read the mask once per call
// (each read takes the syslog lock).
#define PLUGIN_LOG_IF(logging)                                                                     \
    !(logging) ? (void)0 : PluginLogVoidify() & PluginLogLine(LOG_INFO, __PRETTY_FUNCTION__, true)

// An info line of the factory and the entry point.
#define CREATOR_LOG                                                                                \
    !PluginLogEnabled(LOG_INFO)                                                                    \
        ? (void)0                                                                                  \
        : PluginLogVoidify() & PluginLogLine(LOG_INFO, __PRETTY_FUNCTION__, false)
