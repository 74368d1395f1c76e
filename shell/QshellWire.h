#pragma once

// The debug shell's datagram protocol: a client sends one command line per
// request, NUL-terminated and padded to QSHELL_REQUEST_SIZE bytes, to
// QSHELL_SOCKET_DIR "/" + the server name; the shell answers every executed
// command with "OK" (result 0) or "ERR" (any other result), NUL included, to
// the fixed client socket QSHELL_SOCKET_DIR "/" QSHELL_CLIENT_NAME.

#define QSHELL_SOCKET_DIR "/tmp"
#define QSHELL_SERVER_NAME "quor_dbg_server"
#define QSHELL_CLIENT_NAME "quor_dbg_client"

// A request is exactly this long; shorter datagrams are ignored.
constexpr unsigned QSHELL_REQUEST_SIZE = 1023;
// The longest command line a request can carry (one byte for the NUL).
constexpr unsigned QSHELL_MAX_LINE_LENGTH = QSHELL_REQUEST_SIZE - 1;

constexpr char QSHELL_ACK[] = "OK";   // 3 bytes with the NUL
constexpr char QSHELL_NACK[] = "ERR"; // 4 bytes with the NUL
