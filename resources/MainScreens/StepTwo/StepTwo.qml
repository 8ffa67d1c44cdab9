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
        height: unitLength / 2
    }

    HeaderRow {
        height: unitLength / 2
        text: textStrings.stepHeading(2)
    }

    TitleRow {
        height: unitLength * 0.6
        text: textStrings.stepTwo_TitleText
    }

    Item {
        width: parent.width
        height: unitLength / 4
    }

    ParagraphRow {
        height: unitLength * 0.75
        model: textStrings.stepTwo_InstructionsText
        textScale: 0.8
    }

    Item {
        width: parent.width
        height: unitLength / 4
    }

    PictureRow {
        height: unitLength * 6
        source: "qrc:/Assets/lumetra-ConnectUSB.jpg"
        description: qsTr("A USB cable from a computer plugged into Lumetra")
    }
}
