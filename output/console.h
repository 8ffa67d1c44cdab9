#ifndef CONSOLE_H
#define CONSOLE_H

// The console the program talks to from the command line (--help, --version, the mode
// without a window). A Windows GUI-subsystem program starts without one: it borrows the
// console of the shell that started it, and keeps any standard stream the shell redirected
// to a file or a pipe; started from no console, it prints nowhere.
namespace Console {

// Attaches to the parent's console where the program does not have one of its own;
// nothing to do where every program inherits its terminal.
void attachToParent();

// A reader that goes away (a closed pipe) makes writes fail instead of ending the program.
void ignoreClosedPipes();

// True when standard input is a terminal that a person can answer on.
bool inputIsTerminal();

} // namespace Console

#endif // CONSOLE_H
