import QtQuick 2.2
import "."

// The instructions of a screen, one paragraph per entry of the model; a translation may need
// more lines.
ListView {
    id: list
    objectName: "descriptionListView"

    // The text size as a share of the window's text size.
    property real textScale: 0.8

    width: parent.width

    delegate: Item {
        width: list.width
        height: paragraph.height * 1.1

        Text {
            id: paragraph
            objectName: "descText"

            anchors.left: parent.left
            anchors.top: parent.top
            width: parent.width
            text: list.model[index]
            wrapMode: Text.WordWrap
            font.family: Theme.regularFont
            font.pointSize: Theme.textFontSize * list.textScale
            color: Theme.descriptionTextColor

            Accessible.role: Accessible.StaticText
            Accessible.name: text
        }
    }
}
