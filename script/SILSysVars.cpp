#include "script/SILSysVars.h"

#include <cstdio>

#include "debug/QuorTrace.h"
#include "script/SILParameters.h"

std::map<std::string, int> sysVarIntMap;
std::map<std::string, std::string> sysVarStringMap;
pthread_mutex_t sysVarMutex = PTHREAD_MUTEX_INITIALIZER;

namespace {

class SysVarLock {
public:
    SysVarLock() { pthread_mutex_lock(&sysVarMutex); }
    ~SysVarLock() { pthread_mutex_unlock(&sysVarMutex); }
    SysVarLock(SysVarLock const&) = delete;
    SysVarLock& operator=(SysVarLock const&) = delete;
};

// "<operation> - Variable created - <name>" and its siblings.
void TraceState(int level, char const* operation, char const* state, std::string const& name) {
    TraceFormattedString(TRACE_SYS_VAR, level, "%s - %s - %s\n", operation, state, name.c_str());
}

template <typename Map> int Create(Map& map, std::string const& name, char const* operation) {
    bool created;
    {
        SysVarLock const lock;
        created = map.emplace(name, typename Map::mapped_type()).second;
    }
    if (!created) {
        TraceState(TRACELEVEL_ERROR, operation, "Variable already exists", name);
        return -1;
    }
    TraceState(TRACELEVEL_DEBUG, operation, "Variable created", name);
    return 0;
}

template <typename Map, typename Value>
bool StoreIfExisting(Map& map, std::string const& name, Value const& value) {
    SysVarLock const lock;
    auto const found = map.find(name);
    if (found == map.end()) {
        return false;
    }
    found->second = value;
    return true;
}

// Leaves value untouched when the variable does not exist.
template <typename Map>
bool LoadIfExisting(Map const& map, std::string const& name, typename Map::mapped_type* value) {
    SysVarLock const lock;
    auto const found = map.find(name);
    if (found == map.end()) {
        return false;
    }
    *value = found->second;
    return true;
}

char const* StringPara(int n) {
    char const* const text = SILGetStringPara(n);
    return text != nullptr ? text : "";
}

template <typename Map> void ExistCommand(Map const& map) {
    std::string const name = StringPara(0);
    SysVarLock const lock;
    SILSetIntReturn(map.count(name) != 0 ? 1 : 0);
}

} // namespace

int SILCreateSysVarString(std::string name) {
    return Create(sysVarStringMap, name, "SILCreateSysVarString()");
}

int SILCreateSysVarInt(std::string name) {
    return Create(sysVarIntMap, name, "SILCreateSysVarInt()");
}

int SILSetSysVarString(std::string name, std::string value) {
    if (!StoreIfExisting(sysVarStringMap, name, value)) {
        TraceState(TRACELEVEL_ERROR, "SILSetSysVarString()", "Variable does not exist", name);
        return -1;
    }
    TraceFormattedString(TRACE_SYS_VAR, TRACELEVEL_DEBUG, "SILSetSysVarString() - %s = %s\n",
                         name.c_str(), value.c_str());
    return 0;
}

int SILSetSysVarInt(std::string name, int value) {
    if (!StoreIfExisting(sysVarIntMap, name, value)) {
        TraceState(TRACELEVEL_ERROR, "SILSetSysVarInt()", "Variable does not exist", name);
        return -1;
    }
    TraceFormattedString(TRACE_SYS_VAR, TRACELEVEL_DEBUG, "SILSetSysVarInt() - %s = %d\n",
                         name.c_str(), value);
    return 0;
}

int SILGetSysVarInt(std::string name) {
    int value = 0;
    if (!LoadIfExisting(sysVarIntMap, name, &value)) {
        TraceState(TRACELEVEL_ERROR, "SILGetSysVarInt()", "Variable does not exist", name);
        return -1;
    }
    TraceFormattedString(TRACE_SYS_VAR, TRACELEVEL_DEBUG, "SILGetSysVarInt() - %s = %d\n",
                         name.c_str(), value);
    return value;
}

int SILGetSysVarString(std::string name, std::string* value) {
    std::string copy;
    if (!LoadIfExisting(sysVarStringMap, name, &copy)) {
        TraceState(TRACELEVEL_ERROR, "SILGetSysVarString()", "Variable does not exist", name);
        return -1;
    }
    TraceFormattedString(TRACE_SYS_VAR, TRACELEVEL_DEBUG, "SILGetSysVarString() - %s = %s\n",
                         name.c_str(), copy.c_str());
    if (value != nullptr) {
        value->swap(copy);
    }
    return 0;
}

namespace sil {

// The script commands act silently on missing variables (except the line of
// get_sys_var_int) and trace nothing.

void SysVarSetString(void*) {
    StoreIfExisting(sysVarStringMap, std::string(StringPara(0)), std::string(StringPara(1)));
}

void SysVarSetInt(void*) {
    StoreIfExisting(sysVarIntMap, std::string(StringPara(0)), SILGetIntPara(1));
}

void SysVarGetString(void*) {
    std::string value;
    LoadIfExisting(sysVarStringMap, std::string(StringPara(0)), &value);
    SILSetStringReturn(value.c_str());
}

void SysVarGetInt(void*) {
    std::string const name = StringPara(0);
    int value = 0;
    bool const found = LoadIfExisting(sysVarIntMap, name, &value);
    SILSetIntReturn(value);
    if (!found) {
        std::printf("%s ist nicht definiert !!! \n", name.c_str());
    }
}

void SysVarExistString(void*) {
    ExistCommand(sysVarStringMap);
}

void SysVarExistInt(void*) {
    ExistCommand(sysVarIntMap);
}

} // namespace sil
