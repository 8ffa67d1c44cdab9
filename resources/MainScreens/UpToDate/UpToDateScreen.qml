import QtQuick 2.2
import "../../CustomQML"

// For a unit that already carries this firmware, after Step four: says which version it has
// and ends the program.
ScreenPane {
    objectName: "upToDateScreen"

    // As Step three found it: the drive has been removed since.
    property string currentVersionNumber: upToDateVersion

    accessibleName: textStrings.screenName(versionRow.text, textStrings.uptodate_TitleText)
    accessibleDescription: paragraph.model[0]
    //: The button that ends the program; keep it short.
    forwardText: qsTr("Finish")

    onForward: Qt.quit()

    Item {
        width: parent.width
        height: Theme.unit / 2
    }

    HeaderRow {
        id: versionRow

        height: Theme.unit / 2
        //: %1 is the firmware version found on the unit, such as 1.73.
        text: qsTr("Your Lumetra is already on version %1").arg(currentVersionNumber)
    }

    TitleRow {
        height: Theme.unit * 0.6
        text: textStrings.uptodate_TitleText
    }

    Item {
        width: parent.width
        height: Theme.unit / 4
    }

    // Tall enough for the whole paragraph; the picture stays where it was.
    ParagraphRow {
        id: paragraph

        height: Theme.unit * 1.5
        //: %1 is the maker's software page. 'Finish' names this screen's button:
        //: use its translated label.
        model: [qsTr("Your Lumetra has already received the update included in this installer. "
                     + "Press 'Finish' and restart your Lumetra to resume service. "
                     + "If you suspect that your Lumetra is not up to date, visit "
                     + "%1 to download the latest version of this installation wizard.")
                .arg("https://www.zentorlab.com/software")]
    }

    PictureRow {
        height: Theme.unit * 5
        source: "qrc:/Assets/lumetra-FinishUpdate.jpg"
        description: qsTr("Lumetra plugged into power again, with a check mark")
    }
}
