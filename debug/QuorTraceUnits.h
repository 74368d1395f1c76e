#pragma once

// Trace unit numbers of the runtime's modules. Their names come from the
// platform's unit-name table (traceUnitsStringArray).
enum Q_TraceUnits : unsigned {
    TRACE_NONE = 0,
    TRACE_MSG_OBJECT = 2,
    TRACE_MSG_QUEUE = 3,
    TRACE_THREAD_OBJECT = 4,
    TRACE_QUEUE_THREAD = 6,
    TRACE_RPC_THREAD = 8,
    TRACE_QSHELL = 9,
    TRACE_QSHELL_CMDS = 10,
    TRACE_TIMER = 11,
    TRACE_CFG_FILE = 12,
    TRACE_CPU_COMM_SRC = 14,
    TRACE_CPU_COMM_DST = 15,
    TRACE_OBSERVER = 17,
    TRACE_QSHELL_SOCKET = 19,
    TRACE_FILE_UTILS = 20,
    TRACE_CFG_FILE_THREAD = 33,
    TRACE_SYS_VAR = 35,
};

// The facility keeps state for units 0 to QUOR_TRACE_MAX_UNITS - 1.
constexpr unsigned QUOR_TRACE_MAX_UNITS = 400;
