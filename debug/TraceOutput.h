#pragma once

// The screen and syslog outputs of a finished trace text.

// printf and fflush, if tracing to the screen is on.
void PrintTraceTextToScreen(char const* text);

// syslog with the priority when the facility uses syslog, else the screen.
void OutputTraceText(char const* text, int syslogPriority);
