#ifndef PARENTCONSOLE_H
#define PARENTCONSOLE_H

// Lets what the program prints reach the console it was started from. A Windows program
// without a console of its own attaches to its parent's, unless its output goes elsewhere
// already (a pipe, a file); started from no console, it prints nowhere. Nothing to do where
// every program has its parent's terminal.
void attachToParentConsole();

#endif // PARENTCONSOLE_H
