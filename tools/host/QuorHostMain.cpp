// quor-host: the runtime as a television process starts it, then the SIL
// scripts of the command line in order; with --serve it goes on serving the
// debug shell until SIGINT or SIGTERM (see usage).
#include <dirent.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "script/SILCompiler.h"
#include "script/SILProgram.h"
#include "script/SILScriptCommands.h"
#include "shell/QshellWire.h"
#include "tools/host/RuntimeStartup.h"

namespace {

enum ExitCode { exitOk = 0, exitCompileError = 1, exitUnusable = 2 };

char const usage[] =
    "Usage: quor-host [OPTION...] [SCRIPT...]\n"
    "Starts the quor runtime as a television process does (traces to the screen,\n"
    "the debug shell, the script commands, the timer server, tracing to a trace\n"
    "directory), then runs the SIL script files in order.\n"
    "\n"
    "  --name NAME     the process name in syslog and in trace lines (default quor-host)\n"
    "  --socket NAME   the debug shell's socket /tmp/NAME (default " QSHELL_SERVER_NAME ")\n"
    "  --suffix TEXT   appended to the trace file names: quortrc<TEXT>.log, traces<TEXT>.cfg\n"
    "  --serve         after the scripts, serve the debug shell until SIGINT or SIGTERM\n"
    "  --check FILE    only compile FILE and report its error; starts nothing\n"
    "  --help          this text\n"
    "\n"
    "Exit status: 0 done, 1 a script does not compile, 2 a script file or an\n"
    "option is unusable.\n";

struct Options {
    std::string name = "quor-host";
    std::string socket = QSHELL_SERVER_NAME;
    std::string suffix;
    std::string check;
    bool serve = false;
    std::vector<std::string> scripts;
};

int Unusable(std::string const& message) {
    std::fprintf(stderr, "quor-host: %s\n%s", message.c_str(), usage);
    return exitUnusable;
}

// -1 to go on, else the exit code.
int ParseArguments(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        std::string const word = argv[i];
        std::string* value = nullptr;
        if (word == "--help") {
            std::fputs(usage, stdout);
            return exitOk;
        } else if (word == "--serve") {
            options->serve = true;
        } else if (word == "--name") {
            value = &options->name;
        } else if (word == "--socket") {
            value = &options->socket;
        } else if (word == "--suffix") {
            value = &options->suffix;
        } else if (word == "--check") {
            value = &options->check;
        } else if (word.size() > 1 && word[0] == '-') {
            return Unusable("unknown option " + word);
        } else {
            options->scripts.push_back(word);
        }
        if (value != nullptr) {
            if (++i == argc) {
                return Unusable(word + " needs a value");
            }
            *value = argv[i];
        }
    }
    bool const nameFits = !options->name.empty() && !options->socket.empty() &&
                          options->socket.find('/') == std::string::npos &&
                          options->socket.size() + sizeof QSHELL_SOCKET_DIR < 108;
    return nameFits ? -1 : Unusable("unusable --name or --socket");
}

bool IsReadableFile(std::string const& path) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file != nullptr) {
        std::fclose(file);
    }
    return file != nullptr;
}

int CheckScript(std::string const& path) {
    if (!IsReadableFile(path)) {
        return Unusable("cannot read the script " + path);
    }
    QSH_RegisterCommands(nullptr);
    static char text[sil::kScriptFileSize + 1];
    std::FILE* file = std::fopen(path.c_str(), "r");
    std::size_t const length =
        file != nullptr ? std::fread(text, 1, sil::kScriptFileSize, file) : 0;
    if (file != nullptr) {
        std::fclose(file);
    }
    text[length] = '\0';
    static int program[sil::kProgramBufferSize / sizeof(int)];
    SILCompile(text, program, sizeof program);
    if (program[sil::kHeaderResult] != 0) {
        std::printf("%s: %s\n", path.c_str(), SILLastError());
        return exitCompileError;
    }
    std::printf("%s: compiles\n", path.c_str());
    return exitOk;
}

// SIGINT and SIGTERM are blocked in every thread and taken by one waiter,
// which aborts a running script and wakes the main thread.
class StopSignals {
public:
    StopSignals() {
        sigemptyset(&m_set);
        sigaddset(&m_set, SIGINT);
        sigaddset(&m_set, SIGTERM);
        // Before any thread starts, so that all of them inherit the mask.
        pthread_sigmask(SIG_BLOCK, &m_set, nullptr);
        m_waiter = std::thread([this] { Wait(); });
    }
    ~StopSignals() {
        m_finishing.store(true);
        pthread_kill(m_waiter.native_handle(), SIGTERM);
        m_waiter.join();
    }
    StopSignals(StopSignals const&) = delete;
    StopSignals& operator=(StopSignals const&) = delete;

    bool Received() const { return m_received.load(); }
    void WaitForSignal() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_wake.wait(lock, [this] { return m_received.load(); });
    }

private:
    void Wait() {
        int signalNumber = 0;
        while (sigwait(&m_set, &signalNumber) != 0) {
        }
        if (m_finishing.load()) {
            return;
        }
        QSH_AbortScriptRequest();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_received.store(true);
        m_wake.notify_all();
    }

    sigset_t m_set;
    std::atomic<bool> m_finishing{false};
    std::atomic<bool> m_received{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_waiter;
};

std::string ReadLine(std::string const& path) {
    char text[64] = {};
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file != nullptr) {
        if (std::fgets(text, sizeof text, file) == nullptr) {
            text[0] = '\0';
        }
        std::fclose(file);
    }
    return text;
}

// Threads of this process that carry a name of their own, as the runtime's
// threads do; helper threads of the toolchain (a sanitizer's) keep the
// process's name.
int CountNamedThreads() {
    DIR* tasks = opendir("/proc/self/task");
    if (tasks == nullptr) {
        return 0;
    }
    std::string const own = ReadLine("/proc/self/comm");
    int count = 0;
    while (dirent const* entry = readdir(tasks)) {
        if (entry->d_name[0] != '.' &&
            ReadLine(std::string("/proc/self/task/") + entry->d_name + "/comm") != own) {
            ++count;
        }
    }
    closedir(tasks);
    return count;
}

int RunHost(Options const& options) {
    StopSignals signals;
    T_HostRuntimeOptions const start = {options.name.c_str(), options.socket.c_str(),
                                        options.suffix.c_str(), nullptr};
    QuorHostStartRuntime(&start);

    int status = exitOk;
    for (std::string const& script : options.scripts) {
        if (signals.Received()) {
            break;
        }
        if (QSH_ExecuteScriptFromFile(script.c_str()) != 0) {
            std::fprintf(stderr, "quor-host: the script %s does not compile\n", script.c_str());
            status = exitCompileError;
            break;
        }
    }
    if (options.serve && status == exitOk) {
        signals.WaitForSignal();
    }
    QuorHostStopRuntime();
    return status;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    int const parsed = ParseArguments(argc, argv, &options);
    if (parsed >= 0) {
        return parsed;
    }
    if (!options.check.empty()) {
        return CheckScript(options.check);
    }
    for (std::string const& script : options.scripts) {
        if (!IsReadableFile(script)) {
            return Unusable("cannot read the script " + script);
        }
    }

    int const status = RunHost(options);
    std::fflush(stdout);
    int const threads = CountNamedThreads();
    if (threads > 0) {
        std::fprintf(stderr, "quor-host: %d threads still running at the end\n", threads);
    }
    return status;
}
