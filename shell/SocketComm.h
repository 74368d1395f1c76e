#pragma once

#include <sys/socket.h>

#include "util/QuorExport.h"

// Unix-domain datagram sockets named "/tmp/" + name (the whole path cut to
// 107 characters). General helpers of the debug shell, open to other users.

// Creates a non-blocking datagram socket bound to "/tmp/" + name and keeps
// sendFlags for every later SocketComm_Sendto. Returns the descriptor (> 0),
// or: -1 no socket; -2 cannot bind; -3 another live process is bound to the
// name ("Second instance already running"); -4 a stale socket file cannot be
// removed. A stale file (nobody bound to it) is removed and bound again.
QUOR_EXPORT int SocketComm_Start(char* name, int sendFlags);

// Removes the socket file "/tmp/" + name.
QUOR_EXPORT void SocketComm_Unlink(char* name);

// Sends to "/tmp/" + name, retrying every 10 ms while the receiver's queue is
// full (EAGAIN), for at most timeoutMs (-1: 300000). Bytes sent or -1.
QUOR_EXPORT int SocketComm_Sendto(int fd, void const* data, unsigned length, char* name,
                                  int timeoutMs);

// Waits without a time limit until fd is readable, then recv. timeoutMs is
// not used. Bytes received or -1.
QUOR_EXPORT int SocketComm_Recv(int fd, void* buffer, unsigned length, int flags, int timeoutMs);

// recvfrom, retried every 10 ms while it fails, for at most timeoutMs
// (-1: 1800000). Bytes received or -1.
QUOR_EXPORT int SocketComm_Recvfrom(int fd, void* buffer, unsigned length, int flags,
                                    sockaddr* from, unsigned* fromLength, int timeoutMs);

// Sleeps milliseconds, also across signals. Returns 0.
QUOR_EXPORT int Delay(int milliseconds);
