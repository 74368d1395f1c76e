#include "debug/TraceColors.h"

char const* const CS_NORMAL = "\033[0m";
char const* const CS_BLACK = "\033[30m";
char const* const CS_RED = "\033[31m";
char const* const CS_GREEN = "\033[32m";
char const* const CS_YELLOW = "\033[33m";
char const* const CS_BLUE = "\033[34m";
char const* const CS_MAGENTA = "\033[35m";
char const* const CS_CYAN = "\033[36m";
char const* const CS_WHITE = "\033[37m";

char const* const CS_BGD_WHITE = "\033[47m";
char const* const CS_BGD_BLACK = "\033[40m";
char const* const CS_BGD_RED = "\033[41m";
char const* const CS_BGD_GREEN = "\033[42m";
char const* const CS_BGD_YELLOW = "\033[43m";
char const* const CS_BGD_BLUE = "\033[44m";
char const* const CS_BGD_MAGENTA = "\033[45m";
char const* const CS_BGD_CYAN = "\033[46m";

char const* const CS_BL_BLACK = "\033[0;30;40m";
char const* const CS_BL_RED = "\033[0;31;40m";
char const* const CS_BL_GREEN = "\033[0;32;40m";
char const* const CS_BL_YELLOW = "\033[0;33;40m";
char const* const CS_BL_BLUE = "\033[0;34;40m";
char const* const CS_BL_MAGENTA = "\033[0;35;40m";
char const* const CS_BL_CYAN = "\033[0;36;40m";
char const* const CS_BL_WHITE = "\033[0;37;40m";

char const* const CS_TP_DEFAULT = "\033[0m";
char const* const CS_TP_BOLD = "\033[1m";
char const* const CS_TP_NOT_BOLD = "\033[22m";
char const* const CS_TP_UNDERLINED = "\033[4m";
char const* const CS_TP_NOT_UNDERLINED = "\033[24m";
char const* const CS_TP_BLINKING = "\033[5m";
char const* const CS_TP_NOT_BLINKING = "\033[25m";
char const* const CS_TP_INVERS = "\033[7m";
char const* const CS_TP_NOT_INVERS = "\033[27m";
