import QtQuick 2.2
import "."

// One screen: the container a screen reader announces when the screen appears (its name and
// its description), the column of the screen's rows down the left and the forward button on
// the right edge, which takes the focus inside it.
Rectangle {
    id: pane

    // Given by the window to the screen it shows.
    property real arrowWidth: 0
    property bool keyboardInUse: false
    property double shownAt: 0

    property string accessibleName: ""
    property string accessibleDescription: ""
    // The forward button's label; without one it is an arrow.
    property string forwardText: ""
    property alias forwardEnabled: nextButton.enable
    property alias forwardDescription: nextButton.accessibleDescription
    readonly property alias forwardButton: nextButton
    default property alias rows: column.data

    signal forward()
    signal keyPressed()

    anchors.fill: parent
    color: Theme.backgroundColor

    Accessible.role: Accessible.Pane
    Accessible.name: accessibleName
    Accessible.description: accessibleDescription

    Column {
        id: column

        width: parent.width - nextButton.width
        height: parent.height
        anchors.left: parent.left
        anchors.leftMargin: Theme.unit / 3
    }

    GreenButton {
        id: nextButton
        objectName: "nextButton"

        width: forwardText === "" ? arrowWidth : arrowWidth * 2
        height: parent.height * 0.1
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        displayIcon: forwardText === ""
        buttonText: forwardText
        keyboardInUse: pane.keyboardInUse
        shownAt: pane.shownAt

        onClicked: pane.forward()
        onKeyPressed: pane.keyPressed()
    }
}
