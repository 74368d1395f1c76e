// quor-shell: sends command lines to the debug shell of a running process
// and prints each acknowledgement (see Usage).
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "shell/QshellWire.h"
#include "tools/shell/LineReader.h"
#include "tools/shell/ShellClient.h"

namespace {

enum ExitCode { exitOk = 0, exitErr = 1, exitFailure = 2 };

constexpr int defaultTimeoutSeconds = 5;
constexpr int maxTimeoutSeconds = 86400;
// sockaddr_un holds 108 bytes with the NUL.
constexpr std::size_t maxSocketPathLength = 107;

char const usage[] = "Usage: quor-shell [-s NAME] [-t SECONDS] [COMMAND LINE...]\n"
                     "Runs command lines in the debug shell of a running quor process.\n"
                     "\n"
                     "  -s NAME     the shell's socket /tmp/NAME (default " QSHELL_SERVER_NAME ")\n"
                     "  -t SECONDS  how long to wait for each answer (default 5)\n"
                     "  --help      this text\n"
                     "\n"
                     "With a command, its words joined by blanks are sent as one line. Without,\n"
                     "every line of standard input is sent (blank lines are skipped); on a\n"
                     "terminal with a prompt, line editing and history.\n"
                     "Prints OK or ERR for every line (the command's output appears where the\n"
                     "process traces to). Exit status: 0 all OK, 1 some ERR, 2 no shell, no\n"
                     "answer in time, a refused line or another failure.\n";

// What a signal handler needs to leave things as it found them.
volatile sig_atomic_t clientSocketBound = 0;
volatile sig_atomic_t terminalSaved = 0;
termios savedTerminal;

void OnSignal(int signalNumber) {
    if (clientSocketBound != 0) {
        unlink(QSHELL_SOCKET_DIR "/" QSHELL_CLIENT_NAME);
    }
    if (terminalSaved != 0) {
        tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
    }
    _exit(128 + signalNumber);
}

void HandleEndingSignals() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int const signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        sigaction(signalNumber, &action, nullptr);
    }
}

int Fail(std::string const& message) {
    std::fprintf(stderr, "quor-shell: %s\n", message.c_str());
    return exitFailure;
}

struct Options {
    std::string serverName = QSHELL_SERVER_NAME;
    int timeoutSeconds = defaultTimeoutSeconds;
    std::string line;
    bool haveLine = false;
};

// Parses the options before the command; -1 to go on, else the exit code.
int ParseArguments(int argc, char** argv, Options* options) {
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        std::string const option = argv[i];
        if (option == "--help" || option == "-h") {
            std::fputs(usage, stdout);
            return exitOk;
        }
        if (option == "--") {
            ++i;
            break;
        }
        if ((option != "-s" && option != "-t") || i + 1 >= argc) {
            std::fputs(usage, stderr);
            return exitFailure;
        }
        char const* const value = argv[++i];
        if (option == "-s") {
            options->serverName = value;
            continue;
        }
        char* end = nullptr;
        long const seconds = std::strtol(value, &end, 10);
        if (end == value || *end != '\0' || seconds < 1 || seconds > maxTimeoutSeconds) {
            return Fail("-t takes whole seconds from 1 to 86400, not '" + std::string(value) + "'");
        }
        options->timeoutSeconds = static_cast<int>(seconds);
    }
    if (options->serverName.empty() ||
        std::strlen(QSHELL_SOCKET_DIR "/") + options->serverName.size() > maxSocketPathLength) {
        return Fail("-s takes a name of 1 to " +
                    std::to_string(maxSocketPathLength - std::strlen(QSHELL_SOCKET_DIR "/")) +
                    " characters");
    }
    for (; i < argc; ++i) {
        options->line += (options->haveLine ? " " : "") + std::string(argv[i]);
        options->haveLine = true;
    }
    return -1;
}

// A line that no request can carry whole is refused, never cut.
bool LineFits(std::string const& line) {
    if (line.size() > QSHELL_MAX_LINE_LENGTH) {
        Fail("line of " + std::to_string(line.size()) + " bytes refused: a request holds at most " +
             std::to_string(QSHELL_MAX_LINE_LENGTH) + " bytes");
        return false;
    }
    if (line.find('\0') != std::string::npos) {
        Fail("line with a NUL byte refused");
        return false;
    }
    return true;
}

// Sends one line and reports its answer; the exit code it stands for.
int Request(ShellClient& client, std::string const& line, int timeoutSeconds) {
    switch (client.Send(line)) {
    case ShellClient::Answer::Ok:
        std::puts("OK");
        break;
    case ShellClient::Answer::Err:
        std::puts("ERR");
        std::fflush(stdout);
        return exitErr;
    case ShellClient::Answer::NoServer:
        return Fail("no debug shell is listening on " + client.ServerPath());
    case ShellClient::Answer::NoAnswer:
        return Fail("no answer from the debug shell on " + client.ServerPath() + " within " +
                    std::to_string(timeoutSeconds) + " s");
    case ShellClient::Answer::Failed:
        return Fail("cannot send to " + client.ServerPath() + ": " + client.FailureReason());
    }
    std::fflush(stdout);
    return exitOk;
}

int RunLinesFromInput(ShellClient& client, int timeoutSeconds) {
    bool const interactive = isatty(STDIN_FILENO) != 0;
    if (interactive && tcgetattr(STDIN_FILENO, &savedTerminal) == 0) {
        terminalSaved = 1;
    }
    LineReader reader(interactive);
    int worst = exitOk;
    std::string line;
    while (reader.Next(&line)) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) {
            continue;
        }
        if (!LineFits(line)) {
            worst = exitFailure;
            continue;
        }
        int const code = Request(client, line, timeoutSeconds);
        if (code == exitFailure) {
            return code; // the shell is gone or stuck: the next lines would fail too
        }
        worst = code > worst ? code : worst;
    }
    return worst;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    int const parsed = ParseArguments(argc, argv, &options);
    if (parsed >= 0) {
        return parsed;
    }
    if (options.haveLine && !LineFits(options.line)) {
        return exitFailure;
    }
    HandleEndingSignals();
    int code;
    {
        ShellClient client(options.serverName, options.timeoutSeconds);
        std::string const problem = client.Open();
        if (!problem.empty()) {
            return Fail(problem);
        }
        clientSocketBound = 1;
        code = options.haveLine ? Request(client, options.line, options.timeoutSeconds)
                                : RunLinesFromInput(client, options.timeoutSeconds);
    }
    clientSocketBound = 0;
    return code;
}
