// The process's debug shell, constructed when the library loads (after the
// trace facility, which it traces through until it goes).
#include "shell/CQshell.h"

CQshell qshell;
