pragma Singleton
import QtQuick 2.2

// The look every screen and control shares: the unit of length, colours, fonts and text sizes.
QtObject {
    // The one unit every screen measures its rows in: an eighth of the window's height, give
    // or take. The window binds it; a singleton cannot see the window on its own.
    property real unit: 0

    // The window and its rows are pixels, so text sized in plain points would grow with the
    // font DPI (120 at 125 % scaling) and overrun them. Points count as at 96 dpi instead:
    // the whole picture then scales with the window, and 96 dpi looks as it always has.
    readonly property real fontScale: 96 / Math.round(Qt.application.screens[0].logicalPixelDensity * 25.4)
    readonly property real textFontSize: 18 * fontScale
    readonly property real titleFontSize: 25 * fontScale

    readonly property string white: "#ffffff"
    readonly property string lightGrey: "#dddddd"
    readonly property string backgroundColor: white
    readonly property string titleTextColor: "#000000"
    readonly property string descriptionTextColor: "#666666"
    readonly property string headerTextColor: "#666666"
    readonly property string failureTextColor: "#c62828"
    readonly property string nextButtonColor: "#00ad4e"
    readonly property string nextButtonHoveredColor: "#00c454"
    readonly property string backButtonColor: "#666666"
    readonly property string backButtonHoverColor: "#777777"

    readonly property string regularFont: robotoRegular.name
    readonly property string iconFont: materialIcons.name

    property FontLoader robotoRegular: FontLoader { source: "qrc:/Fonts/Roboto-Regular.ttf" }
    // Gives the regular family its bold face.
    property FontLoader robotoBold: FontLoader { source: "qrc:/Fonts/Roboto-Bold.ttf" }
    property FontLoader materialIcons: FontLoader { source: "qrc:/Fonts/MaterialIcons-Regular.ttf" }
}
