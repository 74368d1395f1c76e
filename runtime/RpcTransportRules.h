#pragma once

#include <string>

// Conventions that both ends of the cross-CPU transport keep.

// Sequence numbers, carried in byte 2 of CQuorMsg::m_rpcInfo. A source starts
// at 1 and then runs 2 to 254 round and round, so that 1 always marks a
// source that has just started.
constexpr unsigned char rpcFirstSequenceNr = 1;
constexpr int rpcSequenceNrByte = 2;

constexpr unsigned char NextRpcSequenceNr(unsigned char current) {
    return current == 254 ? 2 : static_cast<unsigned char>(current + 1);
}

// The destination's queue: "/" and the function name, unless that begins with "/".
inline std::string RpcQueueName(std::string const& functionName) {
    return !functionName.empty() && functionName[0] == '/' ? functionName : "/" + functionName;
}
