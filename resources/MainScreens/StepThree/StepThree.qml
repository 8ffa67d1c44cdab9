import QtQuick 2.2
import LumetraInstaller 1.0
import "../../CustomQML"
// Qualified: Controls 2 has its own Button, which must never stand in for ours.
import QtQuick.Controls 2.1 as Controls2

// Step 3: detect the unit, then update it with a progress popup, or, when it already
// carries this firmware, remove its drive at once and keep its version for the up-to-date
// screen. After a failure, a line under the instructions says why, and whether the unit is
// left with an incomplete firmware.
StepScreen {
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
    // Why the last try failed, as the backend's value: None before any failure and while a
    // new try runs.
    property int failureReason: UpdateFailure.None
    property bool firmwareIncomplete: false
    readonly property string failureText: {
        if (failureReason === UpdateFailure.None)
            return "";
        var line = failureLine(failureReason);
        return firmwareIncomplete ? line + " " + textStrings.stepThree_IncompleteText : line;
    }

    function failureLine(reason)
    {
        switch (reason) {
        case UpdateFailure.FullDrive:
            //: Step three, after a failed update: the unit's drive had no room for the firmware.
            return qsTr("The update failed: Lumetra's drive is full.");
        case UpdateFailure.ReadOnly:
            //: Step three, after a failed update: the system would not let us write to the drive.
            return qsTr("The update failed: Lumetra's drive is read-only.");
        case UpdateFailure.DriveGone:
            //: Step three, after a failed update: the drive went away during the update.
            return qsTr("The update failed: Lumetra's drive was disconnected.");
        case UpdateFailure.VerificationFailed:
            //: Step three, after a failed update: the firmware read back from the drive was not the one written.
            return qsTr("The update failed: the firmware read back from the drive was wrong.");
        case UpdateFailure.VersionFileNotWritten:
            //: Step three, after a failed update: the file that holds the unit's version number.
            return qsTr("The update failed: Lumetra's version file could not be written.");
        case UpdateFailure.FirmwareDamaged:
            //: Step three, after a failed update: the firmware carried inside this program is not what was built
            //: into it (a damaged download); nothing was written to the unit.
            return qsTr("The update failed: this program's firmware is damaged. Download the program again.");
        case UpdateFailure.Busy:
            //: Step three: another copy of this program (a window or the command line) updates the unit now.
            return qsTr("Another LumetraInstaller is updating this Lumetra. Try again when it has finished.");
        default:
            //: Step three, after a failed update, for any reason without a line of its own.
            return qsTr("The update failed.");
        }
    }

    function otherCopyEnded()
    {
        if (!refused)
            return;
        refused = false;
        isLumetraConnected = lumetraUpdater.isLumetraConnected();
        forwardEnabled = isLumetraConnected;
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
        forwardEnabled = false;
        failureReason = UpdateFailure.None;
        firmwareIncomplete = false;
        upToDateVersion = "";
        if (!lumetraUpdater.doesLumetraNeedUpdate()) {
            // Read before the removal: the drive is gone afterwards.
            upToDateVersion = lumetraUpdater.getCurrentVersionNumber();
            lumetraUpdater.uninstallUsb();
            lumetraInstaller.state = "StepFour";
            return;
        }
        updateRunning = true;
        updateSucceeded = false;
        popup.open();
        if (!lumetraUpdater.updateLumetra()) {
            // No copy runs and no signal of this update will come. Another LumetraInstaller
            // at work on the unit has said so: the unit may be tried again. Otherwise a unit
            // that has gone is shown as gone; one that is still there keeps its picture and
            // waits, grey, for the end of the copy that holds it.
            updateRunning = false;
            popup.close();
            isLumetraConnected = lumetraUpdater.isLumetraConnected();
            refused = isLumetraConnected && failureReason === UpdateFailure.None;
            forwardEnabled = isLumetraConnected && !refused;
        }
    }

    step: 3
    title: textStrings.stepThree_TitleText
    paragraphs: textStrings.stepThree_InstructionsText
    paragraphsHeight: 2
    paragraphsTextScale: 0.7
    picture: isLumetraConnected ? "qrc:/Assets/lumetra-Detected.jpg" : "qrc:/Assets/lumetra-NotDetected.jpg"
    pictureDescription: isLumetraConnected
                        ? qsTr("Lumetra detected: the computer shows its drive with a check mark")
                        : qsTr("Lumetra not detected: the computer shows a cross instead of its drive")
    pictureAtBottom: true
    // The failure line lies over the top of the picture, which is white there.
    pictureHiddenTop: failureText === "" ? 0 : 1
    //: Step three's word to a screen reader that the unit is there and ready.
    accessibleDescription: textStrings.stepThree_InstructionsText.concat(
                               [forwardDescription || qsTr("Lumetra detected"), failureText]).join(" ").trim()
    forwardText: updateRunning
                 //: The update button's label while the firmware is being copied; keep it short.
                 ? qsTr("Updating")
                 //: The button that starts the firmware update; keep it short.
                 : qsTr("Update")
    forwardEnabled: isLumetraConnected
    forwardDescription: isLumetraConnected ? "" : qsTr("Lumetra was not detected")

    onForward: startUpdate()

    // The backend outlives the screen: a copy that ends after the user has left reaches
    // nothing here, as these go with the screen.
    Connections {
        target: lumetraUpdater

        function onCopyFileProgress(value)
        {
            // Only this screen's own copy moves the bar.
            if (updateRunning)
                copyProgressBar.value = value;
        }

        function onUpdateFailedBecause(reason, incomplete)
        {
            if (!updateRunning)
                return;
            failureReason = reason;
            firmwareIncomplete = incomplete;
        }

        // Another updater finished first: nothing was written, and the success follows.
        function onFoundUpToDate(version)
        {
            if (updateRunning)
                upToDateVersion = version;
        }

        function onUpdateFirmwareSuccess()
        {
            if (!updateRunning) {
                otherCopyEnded();
                return;
            }
            updateSucceeded = true;
            completeUpdate();
        }

        function onUpdateFirmwareFailed()
        {
            if (!updateRunning) {
                otherCopyEnded();
                return;
            }
            updateRunning = false;
            popup.close();
            copyProgressBar.reset();
            forwardEnabled = isLumetraConnected;
        }
    }

    // Over the top of the picture, which is white there: the picture gives up that part.
    Item {
        id: failureRow
        objectName: "failureRow"

        parent: root
        width: root.width - root.forwardButton.width - x
        height: Theme.unit * pictureHiddenTop
        x: Theme.unit / 3
        y: root.height - Theme.unit * pictureHeight

        Text {
            objectName: "failureText"

            width: parent.width
            anchors.top: parent.top
            anchors.topMargin: Theme.unit * 0.05
            text: failureText
            visible: text !== ""
            wrapMode: Text.WordWrap
            font.family: Theme.regularFont
            font.pointSize: Theme.textFontSize * 0.7
            font.bold: true
            color: Theme.failureTextColor

            Accessible.role: Accessible.StaticText
            Accessible.name: text
        }
    }

    Controls2.Popup {
        id: popup
        objectName: "popup"

        parent: root
        width: root.width / 2
        height: Theme.unit
        x: root.width / 2 - width / 2
        y: root.height / 2 - height / 2
        modal: true
        focus: true
        // Only Escape closes it: a stray click beside it must not hide a running copy.
        closePolicy: Controls2.Popup.CloseOnEscape | Controls2.Popup.NoAutoClose

        // The popup took the focus; the button gets it back for the keyboard, and a screen
        // reader hears it (after a failure, with the failure line in the screen's description).
        onClosed: root.forwardButton.forceActiveFocus()

        // The popup's own item (its content's parent) is the dialog a screen reader announces
        // as it opens: named here, since Qt 5 attaches no Accessible to a popup itself and
        // names a Dialog by its title only while a reader runs.
        //: What a screen reader calls the popup with the progress bar.
        Component.onCompleted: contentItem.parent.Accessible.name = qsTr("Updating Lumetra")

        // Has the focus: a reader says the bar next, after the dialog's name.
        WorkProgressBar {
            id: copyProgressBar
            objectName: "copyProgressBar"

            anchors.fill: parent
            value: 0
            focus: true

            onValueChanged: {
                if (value === 1)
                    completeUpdate();
            }
        }
    }
}
