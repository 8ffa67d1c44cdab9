import QtQuick 2.2
import "."

// A line of plain text at the top of its row: a step's number, a note under a title.
Item {
    property alias text: label.text

    width: parent.width

    Text {
        id: label
        objectName: "headerText"

        anchors.left: parent.left
        anchors.top: parent.top
        font.family: Theme.regularFont
        font.pointSize: Theme.textFontSize
        color: Theme.headerTextColor

        Accessible.role: Accessible.StaticText
        Accessible.name: text
    }
}
