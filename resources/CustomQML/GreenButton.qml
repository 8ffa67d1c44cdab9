import QtQuick 2.0

// The forward button of every screen.
Button {
    buttonColor: nextButtonColor
    hoveredColor: nextButtonHoveredColor
    icon: "<i class=\"Material Icons\">keyboard_arrow_right</i>"
}
