#pragma once

#include <atomic>
#include <cstddef>
#include <list>
#include <mutex>
#include <string>

#include "runtime/CThreadObjectBlockingWait.h"
#include "shell/CQshellEntry.h"
#include "shell/CommandStruct.h"
#include "shell/QshellWire.h"
#include "util/QuorExport.h"

// The debug shell: a registry of named commands, the parser and dispatcher
// of command lines, and the thread that serves command lines arriving on a
// Unix datagram socket (QshellWire.h).
//
// Command lines come from the socket thread, from scripts and from
// configuration files; they all go through ProcessQshellCmd, which runs one
// line at a time process-wide (a recursive lock, so that a handler may run
// further lines on its own thread). A handler reads its parameters before it
// runs further lines: a nested line reuses the same CommandStruct.
//
// The host registers the built-in commands once (AddQshellInternalQshellCmds),
// optionally names the socket (Init) and starts the thread (StartThread).
// Stopping the thread cancels its wait for a datagram; a command that is
// running then completes first.
class QUOR_EXPORT CQshell : public CThreadObjectBlockingWait {
public:
    CQshell();
    ~CQshell() override;

    // Registers a command (nothing when add is false). A handler may not be
    // null. A second command of the same name is never found.
    virtual void AddQshellCmd(int nominalParamCount, char const* name, char const* group,
                              char const* helpText, T_QshellFunction function,
                              T_QshellFunction helpFunction, bool add);
    // The first command of exactly this name (case matters), or null.
    virtual CQshellEntry* GetQshellEntry(std::string name);
    virtual int CountQshellEntrys();
    bool QshellEntryExists(std::string name);

    // Parses and executes one command line: the handler's result, -1700 for
    // an unknown command (an empty line included), -1703 for a line that
    // cannot be parsed.
    int ProcessQshellCmd(char const* line);

    // The parser: ParseQshellCmd fills cs from a line (0 or -1703 with the
    // reason in cs->m_errorText); SetCommandParam appends one parameter.
    int ParseQshellCmd(char const* line, CommandStruct* cs);
    int GetCommand(CommandStruct* cs, char const* line);
    int SetCommandParam(CommandStruct* cs, char const* word);
    // Decimal, or hexadecimal after a lower-case "0x": 0, else -1703.
    static int Convert_Atoi(char const* text, long* value);
    static void InitCommandStruct(CommandStruct* cs);
    // Backspace processing: a DEL (0x7F) removes itself and the character before it.
    static void CleanString(std::string* text);
    // Prints every character of text with its code.
    static void DumpString(char const* text);

    // Registers q_help, q_sleep, deinit and q_echo in group "qshell".
    void AddQshellInternalQshellCmds();

    // Listings. The first two sort the list in place, case-insensitively and
    // stably; the others keep its current order.
    void PrintAllQshellEntrysShortHelp();
    void PrintAllQshellGroups();
    // The number of help lines printed.
    int PrintAllQshellEntrysShortHelpForGroup(std::string group);
    void PrintAllQshellEntrysWithIncludedSubstring(std::string text);
    void RemoveQshellEntrys();

    // Built-in handlers; they act on the global qshell.
    static int QshellFunctionHelp(CommandStruct* cs);
    static int QshellFunctionEcho(CommandStruct* cs);
    static int QshellFunctionDumpLastCmd(CommandStruct* cs);
    static int QshellFunctionDeinit(CommandStruct* cs);

    // Test entry points: run the command name without parameters (test_a) or
    // with one text parameter (test_b) on a fresh CommandStruct; run a line
    // and acknowledge it on the socket (test_c). Each returns the command's
    // result, -1700 for an unknown name.
    int test_a(char const* name);
    int test_b(char const* name, char const* text);
    int test_c(char const* line);

    // The socket transport. Init names the socket (before the thread starts).
    int Init(char const* socketName);
    int QshellOpenSocket();
    // 0 when a whole request (QSHELL_REQUEST_SIZE bytes) arrived, else -1702.
    int QshellReadFromSocket();
    int SendQshellCmdAckToSocket();
    int SendQshellCmdNackToSocket();
    // Serves one datagram of length bytes as if the socket had delivered it:
    // a whole request is run and acknowledged (0), a shorter one is ignored
    // (-1702), bytes beyond a request are cut. Not while the thread runs.
    int HandleQshellDatagram(void const* datagram, std::size_t length);

    // -1 while the socket is not open.
    int GetSocketFd() const { return m_socketFd.load(std::memory_order_acquire); }
    std::string const& GetSocketName() const { return m_socketName; }

protected:
    // Opens the socket, then reads, executes and acknowledges requests until
    // the thread is stopped.
    void ThreadWorkFunction() override;

private:
    int SendToClient(char const* answer, unsigned length, char const* failureText);
    // 0 when received bytes make a whole request in the receive buffer, else -1702.
    int AcceptRequest(int received);
    // Runs the request in the receive buffer and acknowledges it.
    void ServeRequest();
    // OK for result 0, else ERR; traces how the sending went, named after the caller.
    void AcknowledgeToSocket(int result, char const* caller);
    void CloseSocket();
    int RunWithFreshCommandStruct(char const* name, char const* text);
    // SetCommandParam for a word of known length, not necessarily terminated.
    static int AppendCommandParam(CommandStruct* cs, char const* word, std::size_t length);

    std::atomic<int> m_socketFd{-1};
    // The last byte is never written, so a request is always terminated.
    char m_receiveBuffer[QSHELL_REQUEST_SIZE + 1] = {};
    CommandStruct m_commandStruct;
    // In registration order until a sorted listing reorders it.
    std::list<CQshellEntry*> m_qshellEntryList;
    std::string m_previousInputLine;
    std::string m_currentInputLine;
    std::string m_socketName = QSHELL_SERVER_NAME;
    // Serialises command lines, registration and listings.
    std::recursive_mutex m_processMutex;
};

// Built-in "q_sleep <seconds>".
QUOR_EXPORT int QshellCmdSleep(CommandStruct* cs);

// The process's shell, constructed when the library loads; no thread runs
// until the host starts it.
extern QUOR_EXPORT CQshell qshell;
