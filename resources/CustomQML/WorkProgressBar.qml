import QtQuick 2.0
import QtQuick.Controls 2.0

// A progress bar that glides to every new value over one second. A valueChanged handler
// sees the assigned number itself only when the glide ends.
ProgressBar {
    id: control

    // Back to 0 at once: a bar gliding down would still say that a copy runs.
    function reset()
    {
        glide.enabled = false;
        value = 0;
        glide.enabled = true;
    }

    value: 0.5
    padding: 2

    Accessible.name: qsTr("Update progress")
    // Qt gives a progress bar no value of its own to a screen reader: it reads this. In steps
    // of 10 %, so that a reader is not flooded with a change every frame of the glide.
    //: The progress in percent, for a screen reader; %1 is a number from 0 to 100.
    Accessible.description: qsTr("%1 %").arg(Math.floor(visualPosition * 10) * 10)

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
        id: glide

        NumberAnimation { duration: 1000 }
    }
}
