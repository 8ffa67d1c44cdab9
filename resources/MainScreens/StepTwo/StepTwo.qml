import QtQuick 2.0
import "../../CustomQML"

// Step 2: connect the computer to the unit with the USB cable.
Rectangle {
    objectName: "stepTwoScreen"

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
                text: textStrings.stepText + " " + 2
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
                width: parent.width
                text: textStrings.stepTwo_TitleText
                wrapMode: Text.WordWrap
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
            height: unitLength * 0.75
            model: textStrings.stepTwo_InstructionsText

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

        Rectangle {
            width: parent.width
            height: unitLength * 6
            color: "transparent"

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
                source: "qrc:/Assets/lumetra-ConnectUSB.jpg"

                Accessible.role: Accessible.Graphic
                Accessible.name: qsTr("A USB cable from a computer plugged into Lumetra")
            }
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

        onClicked: lumetraInstaller.state = "StepThree"
    }
}
