#ifndef HOST_H
#define HOST_H

class QString;

// Runs the whole application: the log file, the GUI application object, the UI engine with
// the backend type registered, the given main document and the event loop. Returns the loop's
// status: 3 (wrong usage) with one line on standard error when there is no display to open the
// window on, -1 when the main document cannot create its root object, otherwise what quit or
// the closing of the last window leaves (0). SIGTERM, SIGHUP and Ctrl+C end it too (0), once an
// update under way has ended.
// language: --lang as given, empty for the system's.
int runLumetraHost(int &argc, char **argv, const QString &mainDocument, const QString &language);

// Registers the fonts the language needs besides Roboto (languageFonts()) as Roboto's first
// fallback, so every text item set in Roboto draws the language's characters from them.
// Call it after the application object exists and before any document is loaded.
void installLanguageFonts(const QString &language);

// Gives the documents the backend's reasons for a failure as values, UpdateFailure.FullDrive
// and so on, under "LumetraInstaller" 1.0 beside the backend type (or a test's stand-in).
void registerFailureReasons();

#endif // HOST_H
