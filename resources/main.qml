import QtQuick 2.2
import QtQuick.Window 2.3
import LumetraInstaller 1.0
import "CustomQML"
import "Constants"

// The one window. Its ids and root properties are the names every screen and control
// reads; the flow is the state of lumetraInstaller, and each state loads one screen.
Window {
    objectName: "mainWindow"

    property real unitLength: height / 8.33
    // The window and its rows are pixels, so text sized in plain points would grow with the
    // font DPI (120 at 125 % scaling) and overrun them. Points count as at 96 dpi instead:
    // the whole picture then scales with the window, and 96 dpi looks as it always has.
    readonly property real fontScale: 96 / Math.round(Screen.logicalPixelDensity * 25.4)
    property real textFontSize: 18 * fontScale
    property real titleFontSize: 25 * fontScale
    property string color_white: "#ffffff"
    property string color_green: "#00ad4e"
    property string color_black: "#000000"
    property string color_grey: "#666666"
    property string color_light_grey: "#dddddd"
    property string color_hoveredGray: "#777777"
    property string color_hoveredGreen: "#00c454"
    property string backgroundColor: color_white
    property string titleTextColor: color_black
    property string descriptionTextColor: color_grey
    property string headerTextColor: color_grey
    property string nextButtonColor: color_green
    property string nextButtonHoveredColor: color_hoveredGreen
    property string backButtonColor: color_grey
    property string backButtonHoverColor: color_hoveredGray
    property var previousStates: []
    // The focus ring shows once the keyboard is in use, so a mouse user sees the screens
    // as they always were.
    property bool keyboardInUse: false
    // When the current screen appeared: the buttons ignore a click that comes so soon after
    // it that it is the second half of a double click on the screen before.
    property double screenShownAt: 0

    visible: true
    width: 800
    height: 600
    minimumWidth: 800
    maximumWidth: 800
    minimumHeight: 600
    maximumHeight: 600
    title: "Zentorlab Lumetra Update Tool - Version " + lumetraUpdater.getLumetraUpdateVersion()

    FontLoader {
        id: robotoRegular
        source: "qrc:/Fonts/Roboto-Regular.ttf"
    }

    FontLoader {
        id: robotoBold
        source: "qrc:/Fonts/Roboto-Bold.ttf"
    }

    FontLoader {
        id: materialIcons
        source: "qrc:/Fonts/MaterialIcons-Regular.ttf"
    }

    FontLoader {
        id: zentorlabIcons
        source: "qrc:/Fonts/zentorlab-font.ttf"
    }

    TextStrings {
        id: textStrings
        objectName: "textStrings"
    }

    LumetraInstaller {
        id: lumetraUpdater
    }

    Rectangle {
        id: lumetraInstaller
        objectName: "lumetraInstaller"

        anchors.fill: parent
        color: color_white

        Component.onCompleted: state = "Home"
        // The history always ends with the current state; back drops it and returns to
        // the one before.
        onStateChanged: previousStates.push(state)

        Rectangle {
            id: backButton
            objectName: "backButton"

            height: parent.height
            width: parent.width * 0.075
            color: "transparent"
            visible: lumetraInstaller.state == "StepTwo" || lumetraInstaller.state == "StepThree"

            GreyButton {
                objectName: "backArrowButton"

                width: parent.width
                height: parent.height * 0.1
                anchors.verticalCenter: parent.verticalCenter
                displayIcon: true

                onClicked: {
                    previousStates.pop();
                    lumetraInstaller.state = previousStates.pop();
                }
            }
        }

        Loader {
            id: mainScreenLoader
            objectName: "mainScreenLoader"

            height: parent.height
            width: parent.width - backButton.width
            anchors.left: backButton.right
            anchors.verticalCenter: parent.verticalCenter
            // Each screen's forward button asks for the focus; this scope hands it on, even
            // when the back button had it on the screen before.
            focus: true

            onLoaded: {
                screenShownAt = Date.now();
                forceActiveFocus();
            }
        }

        states: [
            State {
                name: "Home"
                PropertyChanges {
                    target: mainScreenLoader
                    source: "qrc:/MainScreens/HomeScreen/HomeScreen.qml"
                }
            },
            State {
                name: "StepOne"
                PropertyChanges {
                    target: mainScreenLoader
                    source: "qrc:/MainScreens/StepOne/StepOne.qml"
                }
            },
            State {
                name: "StepTwo"
                PropertyChanges {
                    target: mainScreenLoader
                    source: "qrc:/MainScreens/StepTwo/StepTwo.qml"
                }
            },
            State {
                name: "StepThree"
                PropertyChanges {
                    target: mainScreenLoader
                    source: "qrc:/MainScreens/StepThree/StepThree.qml"
                }
            },
            State {
                name: "StepFour"
                PropertyChanges {
                    target: mainScreenLoader
                    source: "qrc:/MainScreens/StepFour/StepFour.qml"
                }
            },
            State {
                name: "Finish"
                PropertyChanges {
                    target: mainScreenLoader
                    source: "qrc:/MainScreens/Finish/Finish.qml"
                }
            },
            State {
                name: "UpToDate"
                PropertyChanges {
                    target: mainScreenLoader
                    source: "qrc:/MainScreens/UpToDate/UpToDateScreen.qml"
                }
            }
        ]
    }
}
