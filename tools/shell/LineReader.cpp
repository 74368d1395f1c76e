#include "tools/shell/LineReader.h"

#include <cstdlib>

namespace {

char const* Prompt(EditLine*) {
    return "quor> ";
}

constexpr int historySize = 500;

} // namespace

LineReader::LineReader(bool interactive) {
    if (!interactive) {
        return;
    }
    m_editLine = el_init("quor-shell", stdin, stdout, stderr);
    m_history = history_init();
    if (m_editLine == nullptr || m_history == nullptr) {
        return; // plain reading then
    }
    HistEvent event;
    history(m_history, &event, H_SETSIZE, historySize);
    history(m_history, &event, H_SETUNIQUE, 1);
    el_set(m_editLine, EL_EDITOR, "emacs");
    el_set(m_editLine, EL_PROMPT, Prompt);
    el_set(m_editLine, EL_HIST, history, m_history);
}

LineReader::~LineReader() {
    if (m_editLine != nullptr) {
        el_end(m_editLine);
    }
    if (m_history != nullptr) {
        history_end(m_history);
    }
    std::free(m_buffer);
}

bool LineReader::Next(std::string* line) {
    if (m_editLine != nullptr && m_history != nullptr) {
        int count = 0;
        char const* const text = el_gets(m_editLine, &count);
        if (text == nullptr || count <= 0) {
            return false;
        }
        line->assign(text, static_cast<std::size_t>(count));
        if (line->find_first_not_of(" \t\n") != std::string::npos) {
            HistEvent event;
            history(m_history, &event, H_ENTER, text);
        }
    } else {
        ssize_t const count = getline(&m_buffer, &m_bufferSize, stdin);
        if (count < 0) {
            return false;
        }
        line->assign(m_buffer, static_cast<std::size_t>(count));
    }
    if (!line->empty() && line->back() == '\n') {
        line->pop_back();
    }
    return true;
}
