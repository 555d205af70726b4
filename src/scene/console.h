// console.h: the one way text reaches the console. Every line of the report and the trace goes
// through ConsolePrint.
#pragma once

// printf to standard output, then a flush, so each line reaches a pipe or a file as it is
// printed. The first line that cannot be written for a reason other than a broken pipe (which
// raises SIGPIPE as usual) is reported in one line on standard error; later failures are quiet.
void ConsolePrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The process's exit status as far as the console goes: 1 once a line could not be written, else 0.
int ConsoleExitStatus();
