import QtQuick 2.0

// Every fixed text the screens show, in one place. Each instruction list holds one
// paragraph per entry; the step screens use it as the model of their list view.
Item {
    property string homeScreen_LumetraText: "Lumetra"
    property string homeScreen_LumetraDescText: "Automated post-processing unit"
    property string homeScreen_ToolText: "Update Tool"
    property string homeScreen_VersionText: "Version " + lumetraUpdater.getLumetraUpdateVersion()
    property string stepText: "Step"
    property string stepOne_TitleText: "Disconnect Lumetra from power."
    property var stepOne_InstructionsText: [
        "Begin by switching Lumetra's power to the 'off' position.",
        "Next, unplug Lumetra from its power source.",
        "Lumetra must be unplugged from power in order to update successfully."
    ]
    property string stepTwo_TitleText: "Connect your computer to Lumetra via USB."
    property var stepTwo_InstructionsText: [
        "After Lumetra has been disconnected from power, use the provided USB cable to connect your computer to Lumetra."
    ]
    property string stepThree_TitleText: "Begin Lumetra update."
    property var stepThree_InstructionsText: [
        "Now that Lumetra has been unplugged from power and connected to your computer, it is ready to receive updates.",
        "Press the 'update' button to begin the process.",
        "Do not unplug the USB cable from your computer or Lumetra during the update"
    ]
    property string stepFour_TitleText: "Unplug USB cable from Lumetra."
    property var stepFour_InstructionsText: [
        "To finalize the update, unplug the USB cable from Lumetra",
        "Do not reconnect Lumetra to power until you have removed the USB cable."
    ]
    property string finish_TitleText: "The update is complete!"
    property var finish_InstructionsText: [
        "You can now reconnect Lumetra to power and switch it back on.",
        "Note that Lumetra may take a few seconds to restart."
    ]
    property string uptodate_TitleText: "Lumetra update is completed"
}
