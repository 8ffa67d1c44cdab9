#ifndef COMMANDLINE_H
#define COMMANDLINE_H

// The program's name and version; they also name the per-user folder of the log and history.
// Before anything else, in every way the program runs.
void setApplicationIdentity();

// Answers --help, --version and --log-dir on the console the program was started from.
// True when one of them was given: the program then ends (status 0) without a window or a
// look at any drive. Every other argument, Qt's own, another option of the program or one
// that no part knows, is left to whoever reads it and is no error here.
bool answerBasicOptions(int argc, char **argv);

#endif // COMMANDLINE_H
