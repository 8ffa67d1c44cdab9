import QtQuick 2.2
import "../../CustomQML"

// The first screen: the maker's logo (a link to the maker's site), the product, the tool
// and the firmware version it carries.
ScreenPane {
    id: home
    objectName: "homeScreen"

    accessibleName: textStrings.homeScreen_LumetraText + " " + textStrings.homeScreen_ToolText
    accessibleDescription: textStrings.homeScreen_LumetraDescText + ". " + textStrings.homeScreen_VersionText
    //: The button that leads into the steps; keep it short.
    forwardText: qsTr("Start")

    onForward: lumetraInstaller.state = "StepOne"

    Item {
        width: parent.width
        height: Theme.unit * 1.5
    }

    Rectangle {
        id: logoRow
        objectName: "logoRow"

        function open()
        {
            Qt.openUrlExternally("https://www.zentorlab.com");
        }

        width: parent.width
        height: Theme.unit
        color: "transparent"
        // Reached with Tab and opened with Return, like the buttons.
        activeFocusOnTab: true

        Accessible.role: Accessible.Link
        Accessible.name: "zentorlab.com"
        Accessible.focusable: true
        Accessible.onPressAction: open()

        Keys.onPressed: {
            home.keyPressed();
            if (event.key !== Qt.Key_Return && event.key !== Qt.Key_Enter && event.key !== Qt.Key_Space)
                return;
            event.accepted = true;
            if (!event.isAutoRepeat)
                open();
        }

        Image {
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

            Rectangle {
                objectName: "focusRing"

                anchors.fill: parent
                anchors.margins: -4
                color: "transparent"
                border.width: 2
                border.color: Theme.nextButtonColor
                visible: logoRow.activeFocus && keyboardInUse
            }
        }

        MouseArea {
            objectName: "logoMouseArea"

            anchors.fill: parent
            onClicked: logoRow.open()
        }
    }

    Item {
        width: parent.width
        height: Theme.unit / 4
    }

    TitleRow {
        height: Theme.unit
        text: textStrings.homeScreen_LumetraText
    }

    HeaderRow {
        height: Theme.unit * 0.75
        text: textStrings.homeScreen_LumetraDescText
    }

    Item {
        width: parent.width
        height: Theme.unit / 4
    }

    TitleRow {
        height: Theme.unit
        text: textStrings.homeScreen_ToolText
    }

    HeaderRow {
        height: Theme.unit * 0.75
        text: textStrings.homeScreen_VersionText
    }
}
