// The handlers of the script command set and their registration.
#include "script/SILScriptCommands.h"

#include <spawn.h>
#include <sys/wait.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "script/SILParameters.h"
#include "script/SILSysVars.h"
#include "shell/CQshell.h"
#include "util/Strlcpy.h"

extern char** environ;

namespace {

constexpr char kSimulatorPath[] = "/opt/Program/qsim";
constexpr char kIllegalKeyName[] = "ERROR: Illegal ir key name string";

char const* StringPara(int n) {
    char const* const text = SILGetStringPara(n);
    return text != nullptr ? text : "";
}

// Negative durations do not wait; the product is taken in 64 bits.
void SleepMilliseconds(long long milliseconds) {
    if (milliseconds <= 0) {
        return;
    }
    // A 32-bit time_t holds 68 years, more than any script waits.
    long long const seconds = std::min(milliseconds / 1000, 0x7FFFFFFFLL);
    timespec rest{static_cast<time_t>(seconds), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
    }
}

// Every string parameter from `first` on, each followed by one blank.
std::string JoinedStrings(std::string line, int first) {
    for (int i = first; i < SILGetParaNum(); ++i) {
        line += StringPara(i);
        line += ' ';
    }
    return line;
}

int SendToShell(std::string const& line) {
    return qshell.ProcessQshellCmd(line.c_str());
}

int KeyCode(char const* name, bool reportMissing) {
    int const code = GetIrCodeByName(name);
    if (code == -1 && reportMissing) {
        std::puts(kIllegalKeyName);
    }
    return code;
}

std::string KeyLine(int code) {
    return "q_send_ir 0 1 " + std::to_string(code);
}

void Print(void*) {
    std::puts(JoinedStrings(std::string(), 0).c_str());
}

void WaitMilliseconds(void*) {
    SleepMilliseconds(SILGetIntPara(0));
}

void WaitSeconds(void*) {
    SleepMilliseconds(1000LL * SILGetIntPara(0));
}

void WaitMinutes(void*) {
    SleepMilliseconds(60000LL * SILGetIntPara(0));
}

enum BitOperation : std::intptr_t { kAnd = 0, kOr = 1, kXor = 2 };

void BitOperation(void* userData) {
    int const a = SILGetIntPara(0);
    int const b = SILGetIntPara(1);
    switch (reinterpret_cast<std::intptr_t>(userData)) {
    case kAnd:
        SILSetIntReturn(a & b);
        break;
    case kOr:
        SILSetIntReturn(a | b);
        break;
    case kXor:
        SILSetIntReturn(a ^ b);
        break;
    default:
        break;
    }
}

// The N-th element (from 0) of a comma-separated list of at most 255
// characters; "" when the list has fewer.
void Element(void*) {
    char list[256];
    strlcpy(list, StringPara(0), sizeof list);
    int const index = SILGetIntPara(1);
    char* element = list;
    for (int i = 0; i < index; ++i) {
        char* const comma = std::strchr(element, ',');
        if (comma == nullptr) {
            SILSetStringReturn("");
            return;
        }
        element = comma + 1;
    }
    element[std::strcspn(element, ",")] = '\0';
    SILSetStringReturn(element);
}

void QshellCmdExists(void*) {
    SILSetIntReturn(qshell.QshellEntryExists(StringPara(0)) ? 1 : 0);
}

void Qshell(void*) {
    SendToShell(JoinedStrings(std::string(), 0));
}

void Echo(void*) {
    SendToShell(JoinedStrings("q_echo ", 0));
}

void SendIr(void*) {
    std::string line = "q_send_ir";
    for (int i = 0; i < SILGetParaNum(); ++i) {
        line += ' ';
        line += std::to_string(SILGetIntPara(i));
    }
    SendToShell(line);
}

void SendIrByName(void*) {
    std::string line = "q_send_ir " + std::to_string(SILGetIntPara(0)) + ' ' +
                       std::to_string(SILGetIntPara(1)) + ' ' +
                       std::to_string(KeyCode(StringPara(2), true));
    for (int i = 3; i < SILGetParaNum(); ++i) {
        line += ' ';
        line += std::to_string(KeyCode(StringPara(i), false));
    }
    SendToShell(line);
}

void SendIrWaitMsec(void*) {
    long const milliseconds = SILGetIntPara(0);
    int const code = SILGetIntPara(1);
    std::printf("qshSendIrWaitMsec is waiting (ms) = %ld\n", milliseconds);
    SleepMilliseconds(milliseconds);
    SendToShell(KeyLine(code));
}

void SendIrByNameWaitMsec(void*) {
    long const milliseconds = SILGetIntPara(0);
    std::string const name = StringPara(1);
    std::printf("qshSendIrWaitMsec is waiting (ms) = %ld\n", milliseconds);
    SleepMilliseconds(milliseconds);
    std::string const line = KeyLine(KeyCode(name.c_str(), true));
    std::printf("lQshellCmdString = %s\n", line.c_str());
    SendToShell(line);
}

void QshellSleep(void*) {
    SendToShell("q_sleep " + std::to_string(SILGetIntPara(0)));
}

// Runs the simulator with the two parameters as two arguments of its own,
// without a shell, and waits for it. A program that cannot be started, ends
// by a signal or exits non-zero is a failed call.
void CallSimulator(void*) {
    std::string command = StringPara(0);
    std::string parameter = StringPara(1);
    char* argv[] = {const_cast<char*>(kSimulatorPath), &command[0], &parameter[0], nullptr};
    std::fflush(nullptr); // the child must not print our buffered output again
    pid_t child = -1;
    bool ok = posix_spawn(&child, kSimulatorPath, nullptr, nullptr, argv, environ) == 0;
    if (ok) {
        int status = 0;
        pid_t waited;
        while ((waited = waitpid(child, &status, 0)) == -1 && errno == EINTR) {
        }
        ok = waited == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    if (!ok) {
        std::puts("ERROR: SIL command call_qsim failed");
    }
}

struct Row {
    char const* nameAndSignature;
    char const* help;
    SILCommandHandler handler;
    std::intptr_t userData;
};

Row const kRows[] = {
    {"print s:sssssssssssssss", "print <string> [string]...", Print, 0},
    {"wait i", "wait n milliseconds", WaitMilliseconds, 0},
    {"wait_msec i", "wait n milliseconds", WaitMilliseconds, 0},
    {"wait_sec i", "wait n seconds", WaitSeconds, 0},
    {"wait_min i", "wait n minutes", WaitMinutes, 0},
    {"b_and Iii", "Bitwise AND", BitOperation, kAnd},
    {"b_or Iii", "Bitwise OR", BitOperation, kOr},
    {"b_xor Iii", "Bitwise XOR", BitOperation, kXor},
    {"element Ssi", "element <list> <N>. Delievers Nth element of a comma separated list", Element,
     0},
    {"qshellcmd_exists Is", "qshellcmd_exists <string>", QshellCmdExists, 0},
    {"qshell s:sssssssssssssss", "qshell <string>", Qshell, 0},
    {"QSHELL s:sssssssssssssss", "qshell <string>", Qshell, 0},
    {"q_echo s:sssssssssssssss", "q_echo <string>", Echo, 0},
    {"q_send_ir iii:iiiiiiiiiiiii", "q_send_ir", SendIr, 0},
    {"q_send_ir_s iis:sssssssssssss", "q_send_ir_s", SendIrByName, 0},
    {"q_send_ir_wait_msec ii", "q_send_ir_wait_msec <msec> <key>", SendIrWaitMsec, 0},
    {"q_send_ir_s_wait_msec is", "q_send_ir_s_wait_msec <msec> <key>", SendIrByNameWaitMsec, 0},
    {"q_sleep i", "q_sleep", QshellSleep, 0},
    {"set_sys_var_string ss", "set_sys_var_string <variable_name> <string_value>",
     sil::SysVarSetString, 0},
    {"get_sys_var_string Ss", "get_sys_var_string <variable_name>", sil::SysVarGetString, 0},
    {"exist_sys_var_string Is", "exist_sys_var_string <variable_name>", sil::SysVarExistString, 0},
    {"set_sys_var_int si", "set_sys_var_int <variable_name> <int_value>", sil::SysVarSetInt, 0},
    {"get_sys_var_int Is", "get_sys_var_int <variable_name>", sil::SysVarGetInt, 0},
    {"exist_sys_var_int Is", "exist_sys_var_int <variable_name>", sil::SysVarExistInt, 0},
    {"call_qsim ss", "call_qsim <qshell_cmd> <qshell_cmd_parameter>", CallSimulator, 0},
};

} // namespace

int RegisterCommand(char const* nameAndSignature, char const* help, SILCommandHandler handler,
                    void* userData) {
    return SILRegisterCommand(nameAndSignature, help, handler, userData);
}

// sysVarMutex is statically initialised and may be held by another thread
// by now, so it is not initialised a second time here.
int QSH_RegisterCommands(void*) {
    int result = 0;
    for (Row const& row : kRows) {
        result = SILRegisterCommand(row.nameAndSignature, row.help, row.handler,
                                    reinterpret_cast<void*>(row.userData));
    }
    return result;
}
