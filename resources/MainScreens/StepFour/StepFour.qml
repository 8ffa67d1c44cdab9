import QtQuick 2.2
import "../../CustomQML"

// Step 4: unplug the USB cable now that the drive has been removed. Its arrival is how a
// screen reader hears that the update has ended.
ScreenPane {
    id: root
    objectName: "stepFourScreen"

    accessibleName: textStrings.stepName(4, textStrings.stepFour_TitleText)
    accessibleDescription: textStrings.stepFour_InstructionsText.join(" ")

    onForward: lumetraInstaller.state = "Finish"

    Item {
        width: parent.width
        height: unitLength / 2
    }

    HeaderRow {
        height: unitLength / 2
        text: textStrings.stepHeading(4)
    }

    TitleRow {
        height: unitLength * 0.6
        text: textStrings.stepFour_TitleText
    }

    Item {
        width: parent.width
        height: unitLength / 4
    }

    ParagraphRow {
        height: unitLength * 2
        model: textStrings.stepFour_InstructionsText
    }

    // Not a row: it lies at the bottom, drawn over the column where they meet.
    PictureRow {
        parent: root
        width: root.width - root.forwardButton.width
        height: unitLength * 5
        y: root.height - height
        source: "qrc:/Assets/lumetra-UnplugUSB.jpg"
        description: qsTr("The USB cable unplugged from Lumetra after the computer ejected its drive")
    }
}
