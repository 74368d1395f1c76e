#pragma once

#include <string>

// The client end of the debug shell's datagram protocol: binds the fixed
// client socket, sends one request per command line to the server socket and
// waits for its acknowledgement.
class ShellClient {
public:
    enum class Answer { Ok, Err, NoServer, NoAnswer, Failed };

    ShellClient(std::string serverName, int timeoutSeconds);
    // Closes and removes the client socket.
    ~ShellClient();
    ShellClient(ShellClient const&) = delete;
    ShellClient& operator=(ShellClient const&) = delete;

    // Binds the client socket; empty on success, else the reason. A socket
    // file left by an ended client is taken over; one in use is refused.
    std::string Open();
    // One command line (at most QSHELL_MAX_LINE_LENGTH bytes) as one request.
    Answer Send(std::string const& line);
    // The reason of the last Failed answer.
    std::string const& FailureReason() const { return m_failure; }

    std::string ServerPath() const;
    static std::string ClientPath();

private:
    void DropStaleAnswers();
    Answer AwaitAnswer();

    std::string m_serverName;
    int m_timeoutMs;
    int m_fd = -1;
    std::string m_failure;
};
