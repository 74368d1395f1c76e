#pragma once

#include <cstdio>
#include <mutex>
#include <string>

// The demo's console: notification lines scroll, and on a terminal one live
// progress line stays below them. Elsewhere (a pipe, a file) progress comes
// as plain lines, at most one per whole second of playback.
class ConsoleOutput {
public:
    explicit ConsoleOutput(std::FILE* out);

    void Line(std::string const& text);
    // Text as the runtime outputs it: one or more lines, the last one ended
    // by a newline that may be followed by a colour reset.
    void Text(std::string const& text);
    // position and duration in seconds; states as the browser last read them.
    void Progress(float position, float duration, int readyState, int networkState);
    // Ends the live line so that later output starts on a line of its own.
    void Finish();

    bool IsTerminal() const { return m_terminal; }

private:
    void Redraw();
    void WriteLine(std::string const& text);

    std::mutex m_mutex;
    std::FILE* m_out;
    bool m_terminal;
    std::string m_progress; // the live line, empty before the first progress
    long m_lastPlainSecond = -1;
};
