import QtQuick 2.0
import "../../CustomQML"
// Qualified: Controls 2 has its own Button, which must never stand in for ours.
import QtQuick.Controls 2.1 as Controls2

// Step 3: detect the unit, then update it with a progress popup, or, when it already
// carries this firmware, remove its drive at once.
Rectangle {
    id: root
    objectName: "stepThreeScreen"

    // Asked when the screen is made, and again only when the backend says something changed.
    property bool isLumetraConnected: lumetraUpdater.isLumetraConnected()
    // Between the start of this screen's copy and its end; the end runs once.
    property bool updateRunning: false
    // The backend's word that the firmware and its version file are on the drive.
    property bool updateSucceeded: false
    // updateLumetra() refused a unit that is there (a copy from an earlier visit still
    // runs): "Update" comes back when that copy ends.
    property bool refused: false

    function progressChangeSlot(value)
    {
        // Only this screen's own copy moves the bar.
        if (updateRunning)
            copyProgressBar.value = value;
    }

    function copyFileSuccessSlot()
    {
        if (!updateRunning) {
            otherCopyEnded();
            return;
        }
        updateSucceeded = true;
        completeUpdate();
    }

    function copyFileFailedSlot()
    {
        if (!updateRunning) {
            otherCopyEnded();
            return;
        }
        updateRunning = false;
        popup.close();
        copyProgressBar.reset();
        nextButton.buttonText = qsTr("Update");
        nextButton.enable = isLumetraConnected;
    }

    function otherCopyEnded()
    {
        if (!refused)
            return;
        refused = false;
        isLumetraConnected = lumetraUpdater.isLumetraConnected();
        nextButton.enable = isLumetraConnected;
    }

    // Runs when the later of two things comes: the backend's success (the version file is
    // written) and the bar showing 1 (the user has seen the copy end). Only then may the
    // drive go and the user be told to unplug it.
    function completeUpdate()
    {
        if (!updateRunning || !updateSucceeded || copyProgressBar.value !== 1)
            return;
        updateRunning = false;
        popup.close();
        copyProgressBar.reset();
        lumetraUpdater.uninstallUsb();
        lumetraInstaller.state = "StepFour";
    }

    function startUpdate()
    {
        nextButton.enable = false;
        if (!lumetraUpdater.doesLumetraNeedUpdate()) {
            lumetraUpdater.uninstallUsb();
            lumetraInstaller.state = "StepFour";
            return;
        }
        //: The update button's label while the firmware is being copied; keep it short.
        nextButton.buttonText = qsTr("Updating");
        updateRunning = true;
        updateSucceeded = false;
        popup.open();
        if (!lumetraUpdater.updateLumetra()) {
            // No copy runs and no signal of this update will come. A unit that has gone is
            // shown as gone; one that is still there keeps its picture and waits, grey, for
            // the end of the copy that holds it.
            updateRunning = false;
            popup.close();
            nextButton.buttonText = qsTr("Update");
            isLumetraConnected = lumetraUpdater.isLumetraConnected();
            refused = isLumetraConnected;
        }
    }

    anchors.fill: parent
    color: backgroundColor

    Component.onCompleted: {
        lumetraUpdater.copyFileProgress.connect(progressChangeSlot);
        lumetraUpdater.updateFirmwareSuccess.connect(copyFileSuccessSlot);
        lumetraUpdater.updateFirmwareFailed.connect(copyFileFailedSlot);
    }

    // The backend outlives the screen: a copy that ends after the user has left must
    // reach nothing here.
    Component.onDestruction: {
        lumetraUpdater.copyFileProgress.disconnect(progressChangeSlot);
        lumetraUpdater.updateFirmwareSuccess.disconnect(copyFileSuccessSlot);
        lumetraUpdater.updateFirmwareFailed.disconnect(copyFileFailedSlot);
    }

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
                text: textStrings.stepText + " " + 3
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
                text: textStrings.stepThree_TitleText
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
            model: textStrings.stepThree_InstructionsText

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
                    font.pointSize: textFontSize * 0.7
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
            source: isLumetraConnected ? "qrc:/Assets/lumetra-Detected.jpg"
                                        : "qrc:/Assets/lumetra-NotDetected.jpg"

            Accessible.role: Accessible.Graphic
            Accessible.name: isLumetraConnected
                             ? qsTr("Lumetra detected: the computer shows its drive with a check mark")
                             : qsTr("Lumetra not detected: the computer shows a cross instead of its drive")
        }
    }

    Controls2.Popup {
        id: popup
        objectName: "popup"

        width: root.width / 2
        height: unitLength
        x: root.width / 2 - width / 2
        y: root.height / 2 - height / 2
        modal: true
        focus: true
        // Only Escape closes it: a stray click beside it must not hide a running copy.
        closePolicy: Controls2.Popup.CloseOnEscape | Controls2.Popup.NoAutoClose

        // The popup took the focus; the button gets it back for the keyboard.
        onClosed: nextButton.forceActiveFocus()

        WorkProgressBar {
            id: copyProgressBar
            objectName: "copyProgressBar"

            anchors.fill: parent
            value: 0

            onValueChanged: {
                if (value === 1)
                    completeUpdate();
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
        //: The button that starts the firmware update; keep it short.
        buttonText: qsTr("Update")
        enable: isLumetraConnected
        accessibleDescription: isLumetraConnected ? "" : qsTr("Lumetra was not detected")

        onClicked: startUpdate()
    }
}
