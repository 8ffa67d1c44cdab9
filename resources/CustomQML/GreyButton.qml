import QtQuick 2.0
import "."

// The back button of the main window.
Button {
    buttonColor: Theme.backButtonColor
    hoveredColor: Theme.backButtonHoverColor
    icon: "<i class=\"Material Icons\">keyboard_arrow_left</i>"
    //: What a screen reader says for the arrow that leads to the previous screen.
    accessibleName: qsTr("Back")
}
