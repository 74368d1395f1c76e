#pragma once

#include <histedit.h>

#include <cstdio>
#include <string>

// Command lines from standard input, one per line. On a terminal it shows a
// prompt and offers line editing and history (BSD libedit).
class LineReader {
public:
    explicit LineReader(bool interactive);
    ~LineReader();
    LineReader(LineReader const&) = delete;
    LineReader& operator=(LineReader const&) = delete;

    // The next line without its line end; false at the end of input.
    bool Next(std::string* line);

private:
    EditLine* m_editLine = nullptr;
    History* m_history = nullptr;
    char* m_buffer = nullptr;
    std::size_t m_bufferSize = 0;
};
