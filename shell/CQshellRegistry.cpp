// The shell's command registry: registration, look-up and removal.
#include "debug/CQuorTrace.h"
#include "shell/CQshell.h"

CQshell::CQshell() = default;

CQshell::~CQshell() {
    // The thread works on this object's members: it ends before they go.
    StopThreadAndWait();
    CloseSocket();
    RemoveQshellEntrys();
}

void CQshell::AddQshellCmd(int nominalParamCount, char const* name, char const* group,
                           char const* helpText, T_QshellFunction function,
                           T_QshellFunction helpFunction, bool add) {
    if (!add) {
        return;
    }
    if (function == nullptr) {
        TraceFormattedString(TRACE_QSHELL, TRACELEVEL_ERROR,
                             "Qshell cmd without function not inserted: CmdName = %s\n",
                             name != nullptr ? name : "");
        return;
    }
    auto* const entry =
        new CQshellEntry(nominalParamCount, name, group, helpText, function, helpFunction);
    TraceFormattedString(TRACE_QSHELL, TRACELEVEL_DEBUG, "Inserting qshell cmd: CmdName = %s\n",
                         entry->m_cmdName.c_str());
    std::lock_guard<std::recursive_mutex> const lock(m_processMutex);
    m_qshellEntryList.push_back(entry);
}

CQshellEntry* CQshell::GetQshellEntry(std::string name) {
    // Runs for every command line: the traces cost no call while suppressed.
    if (IsTraceLineOn(TRACE_QSHELL, TRACELEVEL_DEBUG)) {
        TraceFormattedString(TRACE_QSHELL, TRACELEVEL_DEBUG, "getQshellEntry - searching : %s\n",
                             name.c_str());
    }
    std::lock_guard<std::recursive_mutex> const lock(m_processMutex);
    for (CQshellEntry* const entry : m_qshellEntryList) {
        if (IsTraceLineOn(TRACE_QSHELL, TRACELEVEL_DEBUG)) {
            TraceFormattedString(TRACE_QSHELL, TRACELEVEL_DEBUG, "Processing entry: CmdName = %s\n",
                                 entry->m_cmdName.c_str());
        }
        if (entry->m_cmdName == name) {
            if (IsTraceLineOn(TRACE_QSHELL, TRACELEVEL_DEBUG)) {
                TraceFormattedString(TRACE_QSHELL, TRACELEVEL_DEBUG, "Found entry: CmdName = %s\n",
                                     entry->m_cmdName.c_str());
            }
            return entry;
        }
    }
    return nullptr;
}

int CQshell::CountQshellEntrys() {
    std::lock_guard<std::recursive_mutex> const lock(m_processMutex);
    return static_cast<int>(m_qshellEntryList.size());
}

bool CQshell::QshellEntryExists(std::string name) {
    TraceFormattedString(TRACE_QSHELL, TRACELEVEL_DEBUG, "CQshell::QshellEntryExists - %s\n",
                         name.c_str());
    return GetQshellEntry(std::move(name)) != nullptr;
}

void CQshell::RemoveQshellEntrys() {
    std::lock_guard<std::recursive_mutex> const lock(m_processMutex);
    for (CQshellEntry* const entry : m_qshellEntryList) {
        delete entry;
    }
    m_qshellEntryList.clear();
}
