import QtQuick 2.2
import "../../CustomQML"

// Step 4: unplug the USB cable now that the drive has been removed. Its arrival is how a
// screen reader hears that the update has ended. When the system would not let the drive
// go, the firmware is on the unit all the same, but the user must eject the drive before
// pulling the cable: the screen says so, and why. An up-to-date unit goes on to the
// up-to-date screen instead of the end of an update.
StepScreen {
    id: root
    objectName: "stepFourScreen"

    readonly property bool upToDate: upToDateVersion !== ""
    readonly property bool ejectByHand: removalCode !== 0
    // Why the drive is still there, from the backend's code.
    readonly property string removalReason: {
        switch (removalCode) {
        //: Step four, why the drive was not ejected: the system found it busy.
        case 5: return qsTr("Another program is using the drive.");
        //: Step four, why the drive was not ejected: no device connected to the computer carries it.
        case 4: return qsTr("The drive was not found.");
        //: Step four, why the drive was not ejected: it was gone from the computer, or another
        //: LumetraInstaller held it.
        case -1: return qsTr("The drive was not found, or another program is using it.");
        //: Step four, why the drive was not ejected, for any other refusal.
        default: return qsTr("The system refused to eject it.");
        }
    }

    step: 4
    title: ejectByHand
           //: Step four's title when the computer could not eject the unit's drive.
           ? qsTr("Eject Lumetra's drive by hand.")
           : textStrings.stepFour_TitleText
    paragraphs: {
        if (!ejectByHand && !upToDate)
            return textStrings.stepFour_InstructionsText;
        var first = !upToDate
                //: Step four after a good update whose drive the computer could not eject.
                ? qsTr("The firmware is updated, but the computer could not eject Lumetra's drive.")
                : ejectByHand
                  //: Step four for a unit that needed no update and whose drive the computer could not eject.
                  ? qsTr("Lumetra already has this firmware, but the computer could not eject its drive.")
                  //: Step four for a unit that needed no update, its drive ejected.
                  : qsTr("Lumetra already has this firmware: unplug the USB cable from Lumetra.");
        if (!ejectByHand)
            return [first, textStrings.stepFour_InstructionsText[1]];
        return [first + " " + removalReason,
                //: Step four: how to eject a drive by hand. Use the names your system gives these
                //: commands ('Safely Remove Hardware' on Windows, 'Eject' in file managers).
                qsTr("Eject the drive yourself ('Safely Remove' or 'Eject'), then unplug the USB cable."),
                textStrings.stepFour_InstructionsText[1]];
    }
    // Three paragraphs when the drive must be ejected by hand: the picture gives up its white
    // top to them.
    paragraphsHeight: ejectByHand ? 2.2 : 2
    paragraphsTextScale: ejectByHand ? 0.7 : 0.8
    picture: "qrc:/Assets/lumetra-UnplugUSB.jpg"
    pictureDescription: qsTr("The USB cable unplugged from Lumetra after the computer ejected its drive")
    pictureAtBottom: true
    pictureHiddenTop: ejectByHand ? 0.75 : 0

    onForward: lumetraInstaller.state = upToDate ? "UpToDate" : "Finish"
}
