import QtQuick 2.0
import "../../CustomQML"

// Step 4: unplug the USB cable now that the drive has been removed.
Rectangle {
    objectName: "stepFourScreen"

    anchors.fill: parent
    color: backgroundColor

    Column {
        id: columnRoot

        width: parent.width - nextButton.width
        height: parent.height
        anchors.left: parent.left
        anchors.leftMargin: unitLength / 3

        Rectangle {
            width: parent.width
            height: unitLength / 2
            color: "transparent"
        }

        Rectangle {
            width: parent.width
            height: unitLength / 2
            color: "transparent"

            Text {
                objectName: "headerText"

                anchors.left: parent.left
                anchors.top: parent.top
                text: textStrings.stepText + " " + 4
                font.family: robotoRegular.name
                font.pointSize: textFontSize
                color: headerTextColor

                Accessible.role: Accessible.StaticText
                Accessible.name: text
            }
        }

        Rectangle {
            width: parent.width
            height: unitLength * 0.6
            color: "transparent"

            Text {
                objectName: "titleText"

                anchors.left: parent.left
                anchors.verticalCenter: parent.verticalCenter
                text: textStrings.stepFour_TitleText
                font.family: robotoRegular.name
                font.pointSize: titleFontSize
                font.bold: true
                color: titleTextColor

                Accessible.role: Accessible.StaticText
                Accessible.name: text
            }
        }

        Rectangle {
            width: parent.width
            height: unitLength / 4
            color: "transparent"
        }

        ListView {
            id: descriptionListView
            objectName: "descriptionListView"

            width: parent.width
            height: unitLength * 2
            model: textStrings.stepFour_InstructionsText

            delegate: Item {
                width: descriptionListView.width
                height: descText.height * 1.1

                Text {
                    id: descText
                    objectName: "descText"

                    anchors.left: parent.left
                    anchors.top: parent.top
                    width: parent.width
                    text: descriptionListView.model[index]
                    wrapMode: Text.WordWrap
                    font.family: robotoRegular.name
                    font.pointSize: textFontSize * 0.8
                    color: descriptionTextColor

                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                }
            }
        }

        Rectangle {
            width: parent.width
            height: unitLength / 4
            color: "transparent"
        }
    }

    // Declared after the column, so it is drawn over the column where they meet.
    Rectangle {
        objectName: "pictureBox"

        width: parent.width - nextButton.width
        height: unitLength * 5
        anchors.left: parent.left
        anchors.bottom: parent.bottom
        color: "white"

        Image {
            id: icon
            objectName: "icon"

            width: parent.width
            height: parent.height
            anchors.left: parent.left
            anchors.verticalCenter: parent.verticalCenter
            fillMode: Image.PreserveAspectFit
            // Decoded at the size shown, not at the file's size.
            sourceSize.width: width
            sourceSize.height: height
            source: "qrc:/Assets/lumetra-UnplugUSB.jpg"

            Accessible.role: Accessible.Graphic
            Accessible.name: qsTr("The USB cable unplugged from Lumetra after the computer ejected its drive")
        }
    }

    GreenButton {
        id: nextButton
        objectName: "nextButton"

        width: backButton.width
        height: parent.height * 0.1
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        displayIcon: true

        onClicked: lumetraInstaller.state = "Finish"
    }
}
