import QtQuick 2.2
import "../../CustomQML"

// For a unit that already carries this firmware, after Step four: says which version it has
// and ends the program.
StepScreen {
    objectName: "upToDateScreen"

    // As Step three found it: the drive has been removed since.
    property string currentVersionNumber: upToDateVersion

    //: %1 is the firmware version found on the unit, such as 1.73.
    header: qsTr("Your Lumetra is already on version %1").arg(currentVersionNumber)
    title: textStrings.uptodate_TitleText
    //: %1 is the maker's software page. 'Finish' names this screen's button:
    //: use its translated label.
    paragraphs: [qsTr("Your Lumetra has already received the update included in this installer. "
                      + "Press 'Finish' and restart your Lumetra to resume service. "
                      + "If you suspect that your Lumetra is not up to date, visit "
                      + "%1 to download the latest version of this installation wizard.")
                 .arg("https://www.zentorlab.com/software")]
    // Tall enough for the whole paragraph; the picture stays where it was.
    paragraphsHeight: 1.5
    paragraphsGap: 0
    picture: "qrc:/Assets/lumetra-FinishUpdate.jpg"
    pictureDescription: qsTr("Lumetra plugged into power again, with a check mark")
    //: The button that ends the program; keep it short.
    forwardText: qsTr("Finish")

    onForward: Qt.quit()
}
