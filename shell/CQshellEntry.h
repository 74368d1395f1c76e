#pragma once

#include <string>

#include "shell/CommandStruct.h"
#include "util/QuorExport.h"

// toupper of c, for case-insensitive ordering.
QUOR_EXPORT int toUpperForTransform(int c);

// One registered shell command.
class QUOR_EXPORT CQshellEntry {
public:
    CQshellEntry(int nominalParamCount, char const* name, char const* group, char const* helpText,
                 T_QshellFunction function, T_QshellFunction helpFunction);
    virtual ~CQshellEntry();
    CQshellEntry(CQshellEntry const&) = delete;
    CQshellEntry& operator=(CQshellEntry const&) = delete;

    // Prints the help text and a newline.
    void PrintShortHelp();

    // Case-insensitive orderings by name and by group: true when a sorts
    // strictly before b.
    static bool QshellEntryNameSortPredicate(CQshellEntry* a, CQshellEntry* b);
    static bool QshellEntryGroupSortPredicate(CQshellEntry* a, CQshellEntry* b);

    // As declared at registration; the shell does not check it.
    int m_nominalParamCount;
    // Matched exactly and case-sensitively.
    std::string m_cmdName;
    std::string m_group;
    // One line: usually the syntax, a tab and a description.
    std::string m_helpText;
    T_QshellFunction m_function;
    // May be null; "q_help <name>" calls it instead of printing the help text.
    T_QshellFunction m_helpFunction;
};
