#include "shell/CQshellEntry.h"

#include <cctype>

#include "debug/QuorTrace.h"

int toUpperForTransform(int c) {
    return std::toupper(c);
}

namespace {

// Bytewise over the shorter length on upper-case copies, then the shorter first.
bool SortsBeforeIgnoringCase(std::string const& a, std::string const& b) {
    std::size_t const shorter = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < shorter; ++i) {
        auto const ca =
            static_cast<unsigned char>(toUpperForTransform(static_cast<unsigned char>(a[i])));
        auto const cb =
            static_cast<unsigned char>(toUpperForTransform(static_cast<unsigned char>(b[i])));
        if (ca != cb) {
            return ca < cb;
        }
    }
    return a.size() < b.size();
}

std::string TextOrEmpty(char const* text) {
    return text != nullptr ? text : "";
}

} // namespace

CQshellEntry::CQshellEntry(int nominalParamCount, char const* name, char const* group,
                           char const* helpText, T_QshellFunction function,
                           T_QshellFunction helpFunction)
    : m_nominalParamCount(nominalParamCount), m_cmdName(TextOrEmpty(name)),
      m_group(TextOrEmpty(group)), m_helpText(TextOrEmpty(helpText)), m_function(function),
      m_helpFunction(helpFunction) {
    TraceFormattedString(TRACE_QSHELL, TRACELEVEL_DEBUG, "CQshellEntry Constructor: CmdName = %s\n",
                         m_cmdName.c_str());
}

CQshellEntry::~CQshellEntry() {
    TraceFormattedString(TRACE_QSHELL, TRACELEVEL_DEBUG, "CQshellEntry Destructor\n");
}

void CQshellEntry::PrintShortHelp() {
    FormattedStringToStdout("%s\n", m_helpText.c_str());
}

bool CQshellEntry::QshellEntryNameSortPredicate(CQshellEntry* a, CQshellEntry* b) {
    return SortsBeforeIgnoringCase(a->m_cmdName, b->m_cmdName);
}

bool CQshellEntry::QshellEntryGroupSortPredicate(CQshellEntry* a, CQshellEntry* b) {
    return SortsBeforeIgnoringCase(a->m_group, b->m_group);
}
