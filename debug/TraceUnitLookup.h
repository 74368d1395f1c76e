#pragma once

// Look-ups over the platform's table of trace-unit names.

// Number of entries of the table, the final non-unit entry included.
unsigned TraceUnitTableEntries();

// The unit's name; the name of unit 0 for a unit the table does not name.
char const* TraceUnitNamePtr(unsigned unit);

// The first unit whose name matches (case-insensitive); 0 when none does.
unsigned TraceUnitNrByName(char const* name);

// Whether a unit of this name is a placeholder: the no-unit entry or a spare.
bool IsUnusedTraceUnitName(char const* name);
