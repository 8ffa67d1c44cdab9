import QtQuick 2.0

// The back button of the main window.
Button {
    buttonColor: backButtonColor
    hoveredColor: backButtonHoverColor
    icon: "<i class=\"Material Icons\">keyboard_arrow_left</i>"
    //: What a screen reader says for the arrow that leads to the previous screen.
    accessibleName: qsTr("Back")
}
