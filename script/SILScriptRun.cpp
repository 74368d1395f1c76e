// Running a script from a buffer or a file, and stopping it.
#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>

#include "script/SILCompiler.h"
#include "script/SILProgram.h"
#include "script/SILRuntime.h"
#include "script/SILScriptCommands.h"

namespace {

std::atomic<bool> abortRequested{false};

// Held by the thread that runs scripts; the same thread may nest further
// scripts, another thread is turned away rather than made to wait (it may be
// the shell thread that a running script's shell line waits for).
std::recursive_mutex scriptOwner;
// Guarded by scriptOwner: the scripts running on its thread.
int runningScripts = 0;

int programBuffer[sil::kProgramBufferSize / sizeof(int)];
char scriptFileText[sil::kScriptFileSize + 1];

int PollAbort() {
    return abortRequested.load(std::memory_order_relaxed) ? -1 : 1;
}

class ScriptOwnership {
public:
    ScriptOwnership() : m_owned(scriptOwner.try_lock()) {
        if (!m_owned) {
            std::puts("ERROR: A script is already running on another thread");
        }
    }
    ~ScriptOwnership() {
        if (m_owned) {
            scriptOwner.unlock();
        }
    }
    ScriptOwnership(ScriptOwnership const&) = delete;
    ScriptOwnership& operator=(ScriptOwnership const&) = delete;

    bool Owned() const { return m_owned; }

private:
    bool m_owned;
};

} // namespace

int QSH_ExecuteScriptFromBuffer(char* text) {
    ScriptOwnership const owner;
    if (!owner.Owned()) {
        return -1;
    }
    // A script started by a command of a running script must not overwrite
    // the program its caller goes on with.
    std::unique_ptr<int[]> nested;
    int* program = programBuffer;
    if (runningScripts > 0) {
        nested.reset(new int[sil::kProgramBufferSize / sizeof(int)]);
        program = nested.get();
    }
    char empty[] = "";
    SILCompile(text != nullptr ? text : empty, program, sil::kProgramBufferSize);
    if (program[sil::kHeaderResult] != 0) {
        std::puts(SILLastError());
        return -1;
    }
    // A nested script keeps a pending request, so that it ends its caller too.
    if (runningScripts == 0) {
        abortRequested.store(false, std::memory_order_relaxed);
    }
    ++runningScripts;
    SILRun(program, 0, PollAbort);
    --runningScripts;
    return 0;
}

int QSH_ExecuteScriptFromFile(char const* path) {
    ScriptOwnership const owner;
    if (!owner.Owned()) {
        return -1;
    }
    std::FILE* const file = path != nullptr ? std::fopen(path, "r") : nullptr;
    if (file == nullptr) {
        std::printf("Unable to open '%s'\n", path != nullptr ? path : "(null)");
        return -1;
    }
    std::size_t const count = std::fread(scriptFileText, 1, sil::kScriptFileSize, file);
    std::fclose(file);
    scriptFileText[count] = '\0';
    std::printf("%d bytes loaded from script file: %s\n", static_cast<int>(count), path);
    return QSH_ExecuteScriptFromBuffer(scriptFileText);
}

void QSH_AbortScriptRequest() {
    abortRequested.store(true, std::memory_order_relaxed);
}
