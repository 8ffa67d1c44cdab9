import QtQuick 2.2
import "../../CustomQML"

// Step 1: switch the unit off and unplug it from power.
ScreenPane {
    objectName: "stepOneScreen"

    accessibleName: textStrings.stepName(1, textStrings.stepOne_TitleText)
    accessibleDescription: textStrings.stepOne_InstructionsText.join(" ")

    onForward: lumetraInstaller.state = "StepTwo"

    Item {
        width: parent.width
        height: Theme.unit / 2
    }

    HeaderRow {
        height: Theme.unit / 2
        text: textStrings.stepHeading(1)
    }

    TitleRow {
        height: Theme.unit * 0.6
        text: textStrings.stepOne_TitleText
    }

    Item {
        width: parent.width
        height: Theme.unit / 4
    }

    ParagraphRow {
        height: Theme.unit * 1.25
        model: textStrings.stepOne_InstructionsText
        textScale: 0.8
    }

    Item {
        width: parent.width
        height: Theme.unit / 4
    }

    PictureRow {
        height: Theme.unit * 5
        source: "qrc:/Assets/Lumetra-Disconnect.jpg"
        description: qsTr("Lumetra switched off, its power plug pulled from the wall socket")
    }
}
