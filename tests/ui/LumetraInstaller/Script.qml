pragma Singleton
import QtQuick 2.2

// What the fake backend answers, and the calls it was asked, in order. The answers sit in
// a plain object: a binding that asks the backend must not learn when a test changes them,
// as it cannot with the real one. The newest fake is the one the window on screen holds;
// tests send the backend's signals through it.
QtObject {
    // refuses: updateLumetra() refuses a unit that is there (an earlier copy still runs).
    property var answer: ({})
    property var calls: []
    property var newest: null

    function reset()
    {
        answer = { connected: true, needsUpdate: true, refuses: false };
        calls = [];
    }
}
