#pragma once
// What the command-line program asks of its terminal and its stop signals,
// one file per system (cli_terminal.cpp, cli/win/cli_terminal.cpp).

#include <cstddef>

// Columns of the terminal on stderr; 80 when it cannot be asked.
std::size_t TerminalColumns();

// Called from the handlers CatchStopSignals installs: sets the stop flag
// and remembers the signal's number for the exit status. Safe in a handler.
void NoteStopSignal(int signal);
