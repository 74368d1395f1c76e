#pragma once

#include <cstdio>

#include "util/QuorExport.h"

// File helpers of the log file (CPwiLog), with its result codes.

// Size of file from stat, or -1005 when it cannot be read.
QUOR_EXPORT long get_file_size(char const* file);

// Flushes and closes stream: 0 (also for a null stream), -1002 when fclose
// fails, else -1009 when the flush failed. The stream is gone in every case.
QUOR_EXPORT int close_file(std::FILE* stream);
