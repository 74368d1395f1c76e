#include "util/FailureTrace.h"

#include <cstring>

#include "debug/QuorTrace.h"

namespace utils {
namespace detail {

void TraceFailedCall(int level, char const* function, char const* path, int errorNumber) {
    TraceFormattedString(TRACE_FILE_UTILS, level, "%s() failed on '%s'! errno: %s\n", function,
                         path != nullptr ? path : "(null)", std::strerror(errorNumber));
}

} // namespace detail
} // namespace utils
