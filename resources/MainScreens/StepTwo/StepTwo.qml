import QtQuick 2.2
import "../../CustomQML"

// Step 2: connect the computer to the unit with the USB cable.
ScreenPane {
    objectName: "stepTwoScreen"

    accessibleName: textStrings.stepName(2, textStrings.stepTwo_TitleText)
    accessibleDescription: textStrings.stepTwo_InstructionsText.join(" ")

    onForward: lumetraInstaller.state = "StepThree"

    Item {
        width: parent.width
        height: Theme.unit / 2
    }

    HeaderRow {
        height: Theme.unit / 2
        text: textStrings.stepHeading(2)
    }

    TitleRow {
        height: Theme.unit * 0.6
        text: textStrings.stepTwo_TitleText
    }

    Item {
        width: parent.width
        height: Theme.unit / 4
    }

    ParagraphRow {
        height: Theme.unit * 0.75
        model: textStrings.stepTwo_InstructionsText
        textScale: 0.8
    }

    Item {
        width: parent.width
        height: Theme.unit / 4
    }

    PictureRow {
        height: Theme.unit * 6
        source: "qrc:/Assets/lumetra-ConnectUSB.jpg"
        description: qsTr("A USB cable from a computer plugged into Lumetra")
    }
}
