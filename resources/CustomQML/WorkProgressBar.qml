import QtQuick 2.0
import QtQuick.Controls 2.0

// A progress bar that glides to every new value over one second. A valueChanged handler
// sees the assigned number itself only when the glide ends.
ProgressBar {
    id: control

    value: 0.5
    padding: 2

    background: Rectangle {
        objectName: "progressBackground"

        implicitWidth: 200
        implicitHeight: 6
        color: "#e6e6e6"
        radius: 3
    }

    contentItem: Item {
        implicitWidth: 200
        implicitHeight: 4

        Rectangle {
            objectName: "progressFill"

            width: control.visualPosition * parent.width
            height: parent.height
            radius: 2
            color: "#17a81a"
        }
    }

    Behavior on value {
        NumberAnimation { duration: 1000 }
    }
}
