import QtQuick 2.2
import "../../CustomQML"

// The end: the update is done; the unit may go back on power.
StepScreen {
    objectName: "finishScreen"

    step: 5
    title: textStrings.finish_TitleText
    paragraphs: textStrings.finish_InstructionsText
    picture: "qrc:/Assets/lumetra-FinishUpdate.jpg"
    pictureDescription: qsTr("Lumetra plugged into power again, with a check mark")
    //: The button that ends the program; keep it short.
    forwardText: qsTr("Finish")

    onForward: Qt.quit()
}
