import QtQuick 2.2
import "../../CustomQML"

// The end: the update is done; the unit may go back on power.
ScreenPane {
    objectName: "finishScreen"

    accessibleName: textStrings.stepName(5, textStrings.finish_TitleText)
    accessibleDescription: textStrings.finish_InstructionsText.join(" ")
    //: The button that ends the program; keep it short.
    forwardText: qsTr("Finish")

    onForward: Qt.quit()

    Item {
        width: parent.width
        height: Theme.unit / 2
    }

    HeaderRow {
        height: Theme.unit / 2
        text: textStrings.stepHeading(5)
    }

    TitleRow {
        height: Theme.unit * 0.6
        text: textStrings.finish_TitleText
    }

    Item {
        width: parent.width
        height: Theme.unit / 4
    }

    ParagraphRow {
        height: Theme.unit * 1.25
        model: textStrings.finish_InstructionsText
        textScale: 0.8
    }

    Item {
        width: parent.width
        height: Theme.unit / 4
    }

    PictureRow {
        height: Theme.unit * 5
        source: "qrc:/Assets/lumetra-FinishUpdate.jpg"
        description: qsTr("Lumetra plugged into power again, with a check mark")
    }
}
