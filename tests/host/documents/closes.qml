import QtQuick 2.2
import QtQuick.Window 2.3

// The user closes the only window.
Window {
    id: window
    visible: true
    width: 100
    height: 100

    Timer {
        interval: 50
        running: true
        onTriggered: window.close()
    }
}
