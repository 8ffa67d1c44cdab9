import QtQuick 2.2
import "../../CustomQML"

// Step 1: switch the unit off and unplug it from power.
StepScreen {
    objectName: "stepOneScreen"

    step: 1
    title: textStrings.stepOne_TitleText
    paragraphs: textStrings.stepOne_InstructionsText
    picture: "qrc:/Assets/Lumetra-Disconnect.jpg"
    pictureDescription: qsTr("Lumetra switched off, its power plug pulled from the wall socket")

    onForward: lumetraInstaller.state = "StepTwo"
}
