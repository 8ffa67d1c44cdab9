import QtQuick 2.0
import "../../CustomQML"

// The first screen: the maker's logo (a link to the maker's site), the product, the tool
// and the firmware version it carries.
Rectangle {
    objectName: "homeScreen"

    anchors.fill: parent
    color: backgroundColor

    Column {
        width: parent.width - nextButton.width
        height: parent.height
        anchors.left: parent.left
        anchors.leftMargin: unitLength / 3

        Rectangle {
            width: parent.width
            height: unitLength * 1.5
            color: "transparent"
        }

        Rectangle {
            id: logoRow
            objectName: "logoRow"

            function buttonClicked()
            {
                Qt.openUrlExternally("https://www.zentorlab.com");
            }

            width: parent.width
            height: unitLength
            color: "transparent"

            Accessible.role: Accessible.Link
            Accessible.name: "zentorlab.com"
            Accessible.onPressAction: buttonClicked()

            Image {
                id: icon
                objectName: "icon"

                height: parent.height * 0.8
                width: (parent.width / 3) * 0.8
                anchors.left: parent.left
                anchors.verticalCenter: parent.verticalCenter
                fillMode: Image.PreserveAspectFit
                // Small enough to decode as it is; decoding to the box's size costs the
                // first frame a scaling pass.
                source: "qrc:/Assets/ZentorlabLogo.png"

                Accessible.role: Accessible.Graphic
                Accessible.name: "Zentorlab"
            }

            MouseArea {
                objectName: "logoMouseArea"

                anchors.fill: parent
                onClicked: logoRow.buttonClicked()
            }
        }

        Rectangle {
            width: parent.width
            height: unitLength / 4
            color: "transparent"
        }

        Rectangle {
            width: parent.width
            height: unitLength
            color: "transparent"

            Text {
                objectName: "productText"

                anchors.left: parent.left
                anchors.verticalCenter: parent.verticalCenter
                text: textStrings.homeScreen_LumetraText
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
            height: unitLength * 0.75
            color: "transparent"

            Text {
                objectName: "productDescriptionText"

                anchors.left: parent.left
                anchors.top: parent.top
                text: textStrings.homeScreen_LumetraDescText
                font.family: robotoRegular.name
                font.pointSize: textFontSize
                color: descriptionTextColor

                Accessible.role: Accessible.StaticText
                Accessible.name: text
            }
        }

        Rectangle {
            width: parent.width
            height: unitLength / 4
            color: "transparent"
        }

        Rectangle {
            width: parent.width
            height: unitLength
            color: "transparent"

            Text {
                objectName: "toolText"

                anchors.left: parent.left
                anchors.verticalCenter: parent.verticalCenter
                text: textStrings.homeScreen_ToolText
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
            height: unitLength * 0.75
            color: "transparent"

            Text {
                objectName: "versionText"

                anchors.left: parent.left
                anchors.top: parent.top
                text: textStrings.homeScreen_VersionText
                font.family: robotoRegular.name
                font.pointSize: textFontSize
                color: descriptionTextColor

                Accessible.role: Accessible.StaticText
                Accessible.name: text
            }
        }
    }

    GreenButton {
        id: nextButton
        objectName: "nextButton"

        width: backButton.width * 2
        height: parent.height * 0.1
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        //: The button that leads into the steps; keep it short.
        buttonText: qsTr("Start")

        onClicked: lumetraInstaller.state = "StepOne"
    }
}
