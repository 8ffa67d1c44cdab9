#ifndef HOST_H
#define HOST_H

class QString;

// Runs the whole application: the GUI application object, the UI engine with the backend
// type registered, the given main document and the event loop. Returns the loop's status:
// -1 when the main document cannot create its root object, otherwise what quit or the
// closing of the last window leaves (0).
// language: --lang as given, empty for the system's.
int runLumetraHost(int &argc, char **argv, const QString &mainDocument, const QString &language);

#endif // HOST_H
