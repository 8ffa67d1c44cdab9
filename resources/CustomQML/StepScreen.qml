import QtQuick 2.2
import "."

// A step of the update: the step's number, a title, the instructions and a picture down the
// left, the forward button on the right. A screen gives what it shows; heights count in
// Theme.unit.
ScreenPane {
    id: stepScreen

    // Shown as "Step <step>" over the title, unless the screen has a header of its own.
    property int step: 0
    property string header: textStrings.stepHeading(step)
    property string title: ""
    // One entry per paragraph.
    property var paragraphs: []
    property real paragraphsHeight: 1.25
    property real paragraphsTextScale: 0.8
    // The room between the paragraphs and the picture's row.
    property real paragraphsGap: 0.25
    property url picture: ""
    property string pictureDescription: ""
    property real pictureHeight: 5
    // When the paragraphs need more room than the column leaves, the picture lies at the
    // bottom edge instead, from the screen's left edge, drawn over the column where they meet.
    property bool pictureAtBottom: false
    // How much of the picture's white top gives way to a line laid over it.
    property real pictureHiddenTop: 0

    accessibleName: textStrings.screenName(header, title)
    accessibleDescription: paragraphs.join(" ")

    Item {
        width: parent.width
        height: Theme.unit / 2
    }

    HeaderRow {
        height: Theme.unit / 2
        text: stepScreen.header
    }

    TitleRow {
        height: Theme.unit * 0.6
        text: stepScreen.title
    }

    Item {
        width: parent.width
        height: Theme.unit / 4
    }

    ParagraphRow {
        height: Theme.unit * paragraphsHeight
        model: paragraphs
        textScale: paragraphsTextScale
    }

    Item {
        width: parent.width
        height: pictureAtBottom ? 0 : Theme.unit * paragraphsGap
    }

    // The picture's row: in the column, the forward button, which the picture reaches, stays
    // drawn over it.
    Item {
        id: pictureSpace

        width: parent.width
        height: pictureAtBottom ? 0 : Theme.unit * pictureHeight
    }

    PictureRow {
        parent: pictureAtBottom ? stepScreen : pictureSpace
        width: pictureAtBottom ? stepScreen.width - stepScreen.forwardButton.width : pictureSpace.width
        height: Theme.unit * pictureHeight - hiddenTop
        y: pictureAtBottom ? stepScreen.height - height : 0
        hiddenTop: Theme.unit * pictureHiddenTop
        source: picture
        description: pictureDescription
    }
}
