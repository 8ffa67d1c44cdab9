import QtQuick 2.0

// Every fixed text the screens show, in one place. Each instruction list holds one
// paragraph per entry; the step screens use it as the model of their list view.
Item {
    //: The product's name; a brand, usually left as it is.
    property string homeScreen_LumetraText: qsTr("Lumetra")
    //: What the Lumetra is, under its name on the first screen.
    property string homeScreen_LumetraDescText: qsTr("Automated post-processing unit")
    //: What this program is, a headline on the first screen.
    property string homeScreen_ToolText: qsTr("Update Tool")
    //: %1 is the firmware version this program carries, such as 1.73.
    property string homeScreen_VersionText: qsTr("Version %1").arg(lumetraUpdater.getLumetraUpdateVersion())
    //: Header of each step screen; the screen adds a space and the step's number (Step 1).
    property string stepText: qsTr("Step")
    //: Title of step 1; the unit must be cut off from mains power.
    property string stepOne_TitleText: qsTr("Disconnect Lumetra from power.")
    property var stepOne_InstructionsText: [
        //: The unit's power switch.
        qsTr("Begin by switching Lumetra's power to the 'off' position."),
        qsTr("Next, unplug Lumetra from its power source."),
        qsTr("Lumetra must be unplugged from power in order to update successfully.")
    ]
    property string stepTwo_TitleText: qsTr("Connect your computer to Lumetra via USB.")
    property var stepTwo_InstructionsText: [
        qsTr("After Lumetra has been disconnected from power, use the provided USB cable to connect your computer to Lumetra.")
    ]
    property string stepThree_TitleText: qsTr("Begin Lumetra update.")
    property var stepThree_InstructionsText: [
        qsTr("Now that Lumetra has been unplugged from power and connected to your computer, it is ready to receive updates."),
        //: Names the button that starts the update: use its translated label ("Update" in StepThree).
        qsTr("Press the 'update' button to begin the process."),
        qsTr("Do not unplug the USB cable from your computer or Lumetra during the update")
    ]
    property string stepFour_TitleText: qsTr("Unplug USB cable from Lumetra.")
    property var stepFour_InstructionsText: [
        qsTr("To finalize the update, unplug the USB cable from Lumetra"),
        qsTr("Do not reconnect Lumetra to power until you have removed the USB cable.")
    ]
    //: Title of the last screen.
    property string finish_TitleText: qsTr("The update is complete!")
    property var finish_InstructionsText: [
        qsTr("You can now reconnect Lumetra to power and switch it back on."),
        qsTr("Note that Lumetra may take a few seconds to restart.")
    ]
    //: Title of the screen for a unit that already has this firmware.
    property string uptodate_TitleText: qsTr("Lumetra update is completed")
    //: Step three's line after a failed update that began to overwrite the old firmware.
    property string stepThree_IncompleteText: qsTr("Lumetra now holds an incomplete firmware: keep it connected and try again.")

    function stepHeading(number)
    {
        return stepText + " " + number;
    }

    // What a screen reader calls a step screen.
    function stepName(number, title)
    {
        return screenName(stepHeading(number), title);
    }

    // What a screen reader calls a screen: its header and its title, so that the name says
    // more than either line, which a reader reads again.
    function screenName(header, title)
    {
        //: A screen's name for a screen reader: %1 is its header (Step 3, or the version line
        //: of the up-to-date screen), %2 its title.
        return qsTr("%1: %2").arg(header).arg(title);
    }
}
