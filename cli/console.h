#ifndef CONSOLE_H
#define CONSOLE_H

// The console that the command-line mode talks to. A Windows GUI-subsystem program starts
// without one: it borrows the console of the shell that started it, and keeps any standard
// stream the shell redirected to a file or a pipe.
namespace Console {

// Attaches to the parent's console where the program does not have one of its own;
// nothing to do where every program inherits its terminal.
void attachToParent();

// True when standard input is a terminal that a person can answer on.
bool inputIsTerminal();

} // namespace Console

#endif // CONSOLE_H
