#pragma once

#include "util/QuorExport.h"

// ANSI escape sequences for use inside trace texts, for example
// TraceFormattedString(unit, level, "%sready%s\n", CS_CYAN, CS_NORMAL).
QUOR_EXPORT extern char const* const CS_NORMAL;
QUOR_EXPORT extern char const* const CS_BLACK;
QUOR_EXPORT extern char const* const CS_RED;
QUOR_EXPORT extern char const* const CS_GREEN;
QUOR_EXPORT extern char const* const CS_YELLOW;
QUOR_EXPORT extern char const* const CS_BLUE;
QUOR_EXPORT extern char const* const CS_MAGENTA;
QUOR_EXPORT extern char const* const CS_CYAN;
QUOR_EXPORT extern char const* const CS_WHITE;

QUOR_EXPORT extern char const* const CS_BGD_WHITE;
QUOR_EXPORT extern char const* const CS_BGD_BLACK;
QUOR_EXPORT extern char const* const CS_BGD_RED;
QUOR_EXPORT extern char const* const CS_BGD_GREEN;
QUOR_EXPORT extern char const* const CS_BGD_YELLOW;
QUOR_EXPORT extern char const* const CS_BGD_BLUE;
QUOR_EXPORT extern char const* const CS_BGD_MAGENTA;
QUOR_EXPORT extern char const* const CS_BGD_CYAN;

// Foreground colour on a black background.
QUOR_EXPORT extern char const* const CS_BL_BLACK;
QUOR_EXPORT extern char const* const CS_BL_RED;
QUOR_EXPORT extern char const* const CS_BL_GREEN;
QUOR_EXPORT extern char const* const CS_BL_YELLOW;
QUOR_EXPORT extern char const* const CS_BL_BLUE;
QUOR_EXPORT extern char const* const CS_BL_MAGENTA;
QUOR_EXPORT extern char const* const CS_BL_CYAN;
QUOR_EXPORT extern char const* const CS_BL_WHITE;

// Type attributes.
QUOR_EXPORT extern char const* const CS_TP_DEFAULT;
QUOR_EXPORT extern char const* const CS_TP_BOLD;
QUOR_EXPORT extern char const* const CS_TP_NOT_BOLD;
QUOR_EXPORT extern char const* const CS_TP_UNDERLINED;
QUOR_EXPORT extern char const* const CS_TP_NOT_UNDERLINED;
QUOR_EXPORT extern char const* const CS_TP_BLINKING;
QUOR_EXPORT extern char const* const CS_TP_NOT_BLINKING;
QUOR_EXPORT extern char const* const CS_TP_INVERS;
QUOR_EXPORT extern char const* const CS_TP_NOT_INVERS;
