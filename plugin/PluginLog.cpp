#include "plugin/PluginLog.h"

namespace {
char const kTag[] = "html5-video-plugin: ";
}

PluginLogLine::PluginLogLine(int priority, char const* signature, bool prefixed)
    : m_priority(priority), m_signature(signature) {
    if (prefixed) {
        m_text << kTag << signature << ": ";
    }
}

PluginLogLine::~PluginLogLine() {
    syslog(m_priority, "html5-video-plugin: %s: %s", m_signature, m_text.str().c_str());
}
