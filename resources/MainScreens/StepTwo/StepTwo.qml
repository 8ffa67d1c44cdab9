import QtQuick 2.2
import "../../CustomQML"

// Step 2: connect the computer to the unit with the USB cable.
StepScreen {
    objectName: "stepTwoScreen"

    step: 2
    title: textStrings.stepTwo_TitleText
    paragraphs: textStrings.stepTwo_InstructionsText
    paragraphsHeight: 0.75
    picture: "qrc:/Assets/lumetra-ConnectUSB.jpg"
    pictureDescription: qsTr("A USB cable from a computer plugged into Lumetra")
    pictureHeight: 6

    onForward: lumetraInstaller.state = "StepThree"
}
