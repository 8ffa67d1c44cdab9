import QtQuick 2.0
import "../../CustomQML"

// For a unit that already carries this firmware: says which version it has and ends the
// program.
Rectangle {
    objectName: "upToDateScreen"

    // Read once, when the screen is made: the call has no change notification.
    property string currentVersionNumber: lumetraUpdater.getCurrentVersionNumber()

    anchors.fill: parent
    color: backgroundColor

    Column {
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
                //: %1 is the firmware version found on the unit, such as 1.73.
                text: qsTr("Your Lumetra is already on version %1").arg(currentVersionNumber)
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
                text: textStrings.uptodate_TitleText
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

        // Tall enough for the whole paragraph; the picture stays where it was.
        Rectangle {
            width: parent.width
            height: unitLength * 1.5

            Text {
                id: descText
                objectName: "descText"

                anchors.left: parent.left
                anchors.top: parent.top
                width: parent.width
                //: %1 is the maker's software page. 'Finish' names this screen's button:
                //: use its translated label.
                text: qsTr("Your Lumetra has already received the update included in this installer. "
                           + "Press 'Finish' and restart your Lumetra to resume service. "
                           + "If you suspect that your Lumetra is not up to date, visit "
                           + "%1 to download the latest version of this installation wizard.")
                      .arg("https://www.zentorlab.com/software")
                wrapMode: Text.WordWrap
                font.family: robotoRegular.name
                font.pointSize: textFontSize * 0.8
                color: descriptionTextColor

                Accessible.role: Accessible.StaticText
                Accessible.name: text
            }
        }

        Rectangle {
            width: parent.width
            height: unitLength * 5

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
                source: "qrc:/Assets/lumetra-FinishUpdate.jpg"

                Accessible.role: Accessible.Graphic
                Accessible.name: qsTr("Lumetra plugged into power again, with a check mark")
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
        //: The button that ends the program; keep it short.
        buttonText: qsTr("Finish")

        onClicked: Qt.quit()
    }
}
