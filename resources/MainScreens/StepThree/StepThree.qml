import QtQuick 2.0
import "../../CustomQML"
// Qualified: Controls 2 has its own Button, which must never stand in for ours.
import QtQuick.Controls 2.1 as Controls2

// Step 3: detect the unit, then update it with a progress popup, or, when it already
// carries this firmware, remove its drive at once.
Rectangle {
    id: root
    objectName: "stepThreeScreen"

    // Asked once, when the screen is made: the call has no change notification.
    property bool isLumetraConnected: lumetraUpdater.isLumetraConnected()
    // Between the start of a copy and its end; the end runs once.
    property bool updateRunning: false

    function progressChangeSlot(value)
    {
        copyProgressBar.value = value;
    }

    function copyFileSuccessSlot()
    {
        // The bar is still gliding to 1 when the success arrives; the completion runs
        // when it gets there, so the version file is on the drive before its removal.
        if (copyProgressBar.value === 1)
            completeUpdate();
    }

    function copyFileFailedSlot()
    {
        updateRunning = false;
        popup.close();
        copyProgressBar.value = 0;
        nextButton.buttonText = qsTr("Update");
        nextButton.enable = isLumetraConnected;
    }

    function completeUpdate()
    {
        if (!updateRunning)
            return;
        updateRunning = false;
        popup.close();
        copyProgressBar.value = 0;
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
        popup.open();
        if (!lumetraUpdater.updateLumetra()) {
            // The unit went away since the screen was made: no copy runs and no signal
            // will come. Say so, and let the user go back and connect it again.
            updateRunning = false;
            popup.close();
            isLumetraConnected = false;
            nextButton.buttonText = qsTr("Update");
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

        onClicked: startUpdate()
    }
}
