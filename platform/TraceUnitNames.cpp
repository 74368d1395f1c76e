#include "platform/TraceUnitNames.h"

// Unit names of this system. Unit numbers are fixed by the modules that trace
// under them; the spare entries are free for new modules.
extern "C" {

char const* const traceUnitsStringArray[] = {
    "TRACE_NONE",          "TRACE_GENERAL",
    "TRACE_MSG_OBJECT",    "TRACE_MSG_QUEUE",
    "TRACE_THREAD_OBJECT", "TRACE_HOST",
    "TRACE_QUEUE_THREAD",  "TRACE_PLUGIN",
    "TRACE_RPC_THREAD",    "TRACE_QSHELL",
    "TRACE_QSHELL_CMDS",   "TRACE_TIMER",
    "TRACE_CFG_FILE",      "TRACE_TIME_TRACE",
    "TRACE_CPU_COMM_SRC",  "TRACE_CPU_COMM_DST",
    "TRACE_LOGFILE",       "TRACE_OBSERVER",
    "TRACE_SIL",           "TRACE_QSHELL_SOCKET",
    "TRACE_FILE_UTILS",    "TRACE_STRING_UTILS",
    "TRACE_G_SPARE_22",    "TRACE_G_SPARE_23",
    "TRACE_G_SPARE_24",    "TRACE_G_SPARE_25",
    "TRACE_G_SPARE_26",    "TRACE_G_SPARE_27",
    "TRACE_G_SPARE_28",    "TRACE_G_SPARE_29",
    "TRACE_G_SPARE_30",    "TRACE_G_SPARE_31",
    "TRACE_G_SPARE_32",    "TRACE_CFG_FILE_THREAD",
    "TRACE_SCRIPT_CMDS",   "TRACE_SYS_VAR",
    "TRACE_G_SPARE_36",    "TRACE_G_SPARE_37",
    "TRACE_G_SPARE_38",    "TRACE_G_SPARE_39",
    "TRACE_G_SPARE_40",    "TRACE_G_SPARE_41",
    "TRACE_G_SPARE_42",    "TRACE_G_SPARE_43",
    "TRACE_G_SPARE_44",    "TRACE_G_SPARE_45",
    "TRACE_G_SPARE_46",    "TRACE_G_SPARE_47",
    "TRACE_G_SPARE_48",    "TRACE_G_SPARE_49",
    "TRACE_G_SPARE_50",    "TRACE_G_SPARE_51",
    "TRACE_G_SPARE_52",    "TRACE_G_SPARE_53",
    "TRACE_G_SPARE_54",    "TRACE_G_SPARE_55",
    "TRACE_G_SPARE_56",    "TRACE_G_SPARE_57",
    "TRACE_G_SPARE_58",    "TRACE_G_SPARE_59",
    "TRACE_G_SPARE_60",    "TRACE_G_SPARE_61",
    "TRACE_G_SPARE_62",    "TRACE_G_SPARE_63",
    "TRACE_LAST_UNIT", // end marker, not a unit
};

namespace {
// Published in bytes, as the platform does: 4 bytes an entry on its 32-bit
// target, 8 on a 64-bit build.
unsigned const traceUnitsStringArraySize = sizeof traceUnitsStringArray;
} // namespace

unsigned const* const traceUnitsStringArraySizePtr = &traceUnitsStringArraySize;
}
