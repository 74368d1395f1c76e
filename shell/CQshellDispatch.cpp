// The dispatcher: one command line parsed into the shell's CommandStruct and
// handed to its command; and the test entry points.
#include <memory>

#include "debug/CQuorTrace.h"
#include "shell/CQshell.h"

namespace {

char const* TextOrEmpty(char const* text) {
    return text != nullptr ? text : "";
}

} // namespace

int CQshell::ProcessQshellCmd(char const* line) {
    std::lock_guard<std::recursive_mutex> const lock(m_processMutex);
    if (IsTraceLineOn(TRACE_QSHELL, TRACELEVEL_INFO)) {
        TraceFormattedString(TRACE_QSHELL, TRACELEVEL_INFO,
                             "CQshell::ProcessQshellCmd(): Processing cmd: %s\n",
                             TextOrEmpty(line));
    }
    m_previousInputLine.swap(m_currentInputLine);
    m_currentInputLine.assign(TextOrEmpty(line));
    InitCommandStruct(&m_commandStruct);
    int const parsed = ParseQshellCmd(line, &m_commandStruct);
    if (parsed != 0) {
        return parsed;
    }
    CQshellEntry* const entry = GetQshellEntry(m_commandStruct.m_cmdName);
    if (entry == nullptr) {
        FormattedStringToStdout("-- ERROR: Unknown qshell command: %s\n",
                                m_commandStruct.m_cmdName.c_str());
        return QSHELL_ERR_UNKNOWN_COMMAND;
    }
    if (IsTraceLineOn(TRACE_QSHELL, TRACELEVEL_DEBUG)) {
        TraceFormattedString(TRACE_QSHELL, TRACELEVEL_DEBUG, "Found entry\n");
    }
    StringToStdout("\n");
    return entry->m_function(&m_commandStruct);
}

int CQshell::RunWithFreshCommandStruct(char const* name, char const* text) {
    std::lock_guard<std::recursive_mutex> const lock(m_processMutex);
    CQshellEntry* const entry = GetQshellEntry(TextOrEmpty(name));
    if (entry == nullptr) {
        return QSHELL_ERR_UNKNOWN_COMMAND;
    }
    TraceFormattedString(TRACE_QSHELL, TRACELEVEL_DEBUG, "test_a: Found entry\n");
    // On the heap: 256 parameter records are too much for a small thread stack.
    auto const cs = std::make_unique<CommandStruct>();
    cs->m_cmdName = entry->m_cmdName;
    if (text != nullptr) {
        cs->m_param[0].m_type = QSHELL_PARAM_TEXT;
        cs->m_param[0].m_text = text;
        cs->m_paramCount = 1;
    }
    return entry->m_function(cs.get());
}

int CQshell::test_a(char const* name) {
    return RunWithFreshCommandStruct(name, nullptr);
}

int CQshell::test_b(char const* name, char const* text) {
    return RunWithFreshCommandStruct(name, TextOrEmpty(text));
}

int CQshell::test_c(char const* line) {
    TraceFormattedString(TRACE_QSHELL, TRACELEVEL_DEBUG, "test_c: Input : %s\n", TextOrEmpty(line));
    int const result = ProcessQshellCmd(line);
    TraceFormattedString(TRACE_QSHELL, TRACELEVEL_DEBUG,
                         result == 0 ? "test_c: Success\n" : "test_c: Failed\n");
    AcknowledgeToSocket(result, "CQshell::test_c()");
    return result;
}
