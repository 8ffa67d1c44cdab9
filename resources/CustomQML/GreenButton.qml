import QtQuick 2.0
import "."

// The forward button of every screen.
Button {
    buttonColor: Theme.nextButtonColor
    hoveredColor: Theme.nextButtonHoveredColor
    icon: "<i class=\"Material Icons\">keyboard_arrow_right</i>"
    //: What a screen reader says for the arrow that leads to the next screen.
    accessibleName: displayIcon ? qsTr("Next") : buttonText
    // Return presses it as soon as its screen appears.
    focus: true
}
