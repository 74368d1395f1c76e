// Help listings of the registered commands and their groups.
#include "debug/QuorTrace.h"
#include "shell/CQshell.h"

void CQshell::PrintAllQshellEntrysShortHelp() {
    std::lock_guard<std::recursive_mutex> const lock(m_processMutex);
    // std::list::sort is a stable merge sort: equal names keep their order.
    m_qshellEntryList.sort(CQshellEntry::QshellEntryNameSortPredicate);
    for (CQshellEntry* const entry : m_qshellEntryList) {
        entry->PrintShortHelp();
    }
}

void CQshell::PrintAllQshellGroups() {
    std::lock_guard<std::recursive_mutex> const lock(m_processMutex);
    FormattedStringToStdout("--- List of qshell command groups: \n");
    m_qshellEntryList.sort(CQshellEntry::QshellEntryGroupSortPredicate);
    std::string const* printedLast = nullptr;
    for (CQshellEntry* const entry : m_qshellEntryList) {
        if (printedLast == nullptr || entry->m_group != *printedLast) {
            FormattedStringToStdout("%s\n", entry->m_group.c_str());
            printedLast = &entry->m_group;
        }
    }
}

int CQshell::PrintAllQshellEntrysShortHelpForGroup(std::string group) {
    std::lock_guard<std::recursive_mutex> const lock(m_processMutex);
    int printed = 0;
    for (CQshellEntry* const entry : m_qshellEntryList) {
        TraceFormattedString(TRACE_QSHELL, TRACELEVEL_DEBUG,
                             "Group help for entry CmdName = %s Group = %s\n",
                             entry->m_cmdName.c_str(), entry->m_group.c_str());
        if (entry->m_group == group) {
            entry->PrintShortHelp();
            ++printed;
        }
    }
    return printed;
}

void CQshell::PrintAllQshellEntrysWithIncludedSubstring(std::string text) {
    std::lock_guard<std::recursive_mutex> const lock(m_processMutex);
    for (CQshellEntry* const entry : m_qshellEntryList) {
        if (entry->m_cmdName.find(text) != std::string::npos) {
            FormattedStringToStdout("Available CmdName = %s Group = %s\n", entry->m_cmdName.c_str(),
                                    entry->m_group.c_str());
        }
    }
}
