#include "tools/demo/ConsoleOutput.h"

#include <unistd.h>

#include <cmath>

namespace {
std::string Clock(float seconds) {
    if (!(seconds >= 0)) {
        seconds = 0;
    }
    auto tenths = static_cast<long>(std::lround(static_cast<double>(seconds) * 10));
    char text[32];
    std::snprintf(text, sizeof text, "%02ld:%02ld.%ld", tenths / 600, tenths / 10 % 60,
                  tenths % 10);
    return text;
}
} // namespace

ConsoleOutput::ConsoleOutput(std::FILE* out) : m_out(out), m_terminal(isatty(fileno(out)) != 0) {}

void ConsoleOutput::Line(std::string const& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    WriteLine(text);
}

void ConsoleOutput::Text(std::string const& text) {
    // The live line is redrawn below the text, so its own last newline goes.
    std::string line = text;
    std::string::size_type const lastNewline = line.rfind('\n');
    if (lastNewline != std::string::npos &&
        line.find_first_not_of("\033[0123456789;m", lastNewline + 1) == std::string::npos) {
        line.erase(lastNewline, 1);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    WriteLine(line);
}

void ConsoleOutput::WriteLine(std::string const& text) {
    if (m_terminal && !m_progress.empty()) {
        std::fprintf(m_out, "\r\033[K%s\n", text.c_str());
        Redraw();
    } else {
        std::fprintf(m_out, "%s\n", text.c_str());
    }
    std::fflush(m_out);
}

void ConsoleOutput::Progress(float position, float duration, int readyState, int networkState) {
    std::lock_guard<std::mutex> lock(m_mutex);
    constexpr int kWidth = 30;
    int filled = 0;
    if (duration > 0) {
        float share = position / duration;
        share = share < 0 ? 0 : (share > 1 ? 1 : share);
        filled = static_cast<int>(share * kWidth);
    }
    std::string bar(static_cast<std::size_t>(filled), '=');
    bar.resize(kWidth, ' ');
    m_progress = "[" + bar + "] " + Clock(position) + " / " + Clock(duration) + "  ready " +
                 std::to_string(readyState) + "  network " + std::to_string(networkState);
    if (m_terminal) {
        Redraw();
    } else if (static_cast<long>(position) != m_lastPlainSecond) {
        m_lastPlainSecond = static_cast<long>(position);
        std::fprintf(m_out, "progress %s\n", m_progress.c_str());
    }
    std::fflush(m_out);
}

void ConsoleOutput::Redraw() {
    std::fprintf(m_out, "\r\033[K%s", m_progress.c_str());
}

void ConsoleOutput::Finish() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_terminal && !m_progress.empty()) {
        std::fprintf(m_out, "\n");
        m_progress.clear();
    }
    std::fflush(m_out);
}
