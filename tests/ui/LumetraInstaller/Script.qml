pragma Singleton
import QtQuick 2.2

// The fake backend's answers, in a plain object that bindings cannot watch (the real backend's answers
// change unseen too): connected, needsUpdate, refuses (updateLumetra() refuses a unit that is there), busy
// (another LumetraInstaller updates it) and removal (the code of a removal asked for, 0 removed); the calls it was
// asked, in order; the fake of the window on screen.
QtObject {
    property var answer: ({})
    property var calls: []
    property var newest: null
}
