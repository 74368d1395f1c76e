#pragma once

#include <pthread.h>

#include <map>
#include <string>

#include "util/QuorExport.h"

// System variables: named int and string values of the whole process, shared
// by scripts, the trace facility and any other code. Ints and strings are two
// separate name spaces. A variable exists once created by code; scripts can
// read and set existing variables but not create them.
//
// One mutex guards both maps. Every function traces at unit TRACE_SYS_VAR;
// the trace is written after the mutex is released, so a trace output that
// itself reads a system variable cannot deadlock.

extern QUOR_EXPORT std::map<std::string, int> sysVarIntMap;
extern QUOR_EXPORT std::map<std::string, std::string> sysVarStringMap;
// Statically initialised: usable before any constructor of the process runs.
extern QUOR_EXPORT pthread_mutex_t sysVarMutex;

extern "C" {

// Create with the value "" (0 for ints) and return 0; -1 when the variable
// exists already (its value is kept).
QUOR_EXPORT int SILCreateSysVarString(std::string name);
QUOR_EXPORT int SILCreateSysVarInt(std::string name);

// Store into an existing variable and return 0; -1 when it does not exist
// (nothing is created).
QUOR_EXPORT int SILSetSysVarString(std::string name, std::string value);
QUOR_EXPORT int SILSetSysVarInt(std::string name, int value);

// The value, or -1 when the variable does not exist (a stored -1 looks the
// same; tell them apart by the trace level, or by SILGetSysVarString's result).
QUOR_EXPORT int SILGetSysVarInt(std::string name);

// Copies the value into *value and returns 0; -1 when the variable does not
// exist (*value is left alone).
QUOR_EXPORT int SILGetSysVarString(std::string name, std::string* value);
}

namespace sil {

// Handlers of the script commands set_sys_var_string, get_sys_var_string,
// exist_sys_var_string, set_sys_var_int, get_sys_var_int, exist_sys_var_int.
void SysVarSetString(void* userData);
void SysVarGetString(void* userData);
void SysVarExistString(void* userData);
void SysVarSetInt(void* userData);
void SysVarGetInt(void* userData);
void SysVarExistInt(void* userData);

} // namespace sil
