pragma Singleton
import QtQuick 2.2

// The fake backend's answers, in a plain object that bindings cannot watch (the real
// backend's answers change unseen too), and the calls it was asked, in order.
QtObject {
    // connected, needsUpdate, and refuses: updateLumetra() refuses a unit that is there;
    // busy: it refuses because another LumetraInstaller updates the unit.
    property var answer: ({})
    property var calls: []
    // The fake of the window on screen; tests send the backend's signals through it.
    property var newest: null
}
