#ifndef DISPLAY_H
#define DISPLAY_H

#include <QtCore/QString>

// What the window lacks to open on this system as started, in a few words ("DISPLAY is not
// set"); empty when it has a display, or when only Qt can tell. Asked before the GUI
// application object exists: without a display Qt ends the program with an abort.
QString missingDisplay(int argc, char **argv);

#endif // DISPLAY_H
