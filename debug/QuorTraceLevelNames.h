#pragma once

#include "debug/TraceLevels.h"
#include "util/QuorExport.h"

// One row of the level table: a level value and its name.
struct T_TraceLevelName {
    T_TraceLevel level;
    char const* name;
};

// All defined levels in ascending order; the row of TRACELEVEL_NO_TRACE ends
// every scan.
QUOR_EXPORT extern T_TraceLevelName const quorTraceLevelNameTable[];

// The level with this name (case-insensitive); TRACELEVEL_ALL for an unknown
// or null name.
T_TraceLevel TraceLevelNrByName(char const* name);

// The name of a level; "!!! ILLEGAL !!!" for a value that is not in the table.
char const* TraceLevelNamePtr(unsigned level);
