import QtQuick 2.2
import "."

// A bold title, centred in its row; a long translation wraps.
Item {
    property alias text: label.text

    width: parent.width

    Text {
        id: label
        objectName: "titleText"

        width: parent.width
        anchors.left: parent.left
        anchors.verticalCenter: parent.verticalCenter
        wrapMode: Text.WordWrap
        font.family: Theme.regularFont
        font.pointSize: Theme.titleFontSize
        font.bold: true
        color: Theme.titleTextColor

        Accessible.role: Accessible.StaticText
        Accessible.name: text
    }
}
