import QtQuick 2.2
import QtQuick.Window 2.3
import LumetraInstaller 1.0
import "CustomQML"
import "Constants"

// The one window. Its ids and root properties are the names every screen and control
// reads; the flow is the state of lumetraInstaller, and each state loads one screen.
Window {
    id: window
    objectName: "mainWindow"

    property var previousStates: []
    // The focus ring shows once the keyboard is in use, so a mouse user sees the screens
    // as they always were.
    property bool keyboardInUse: false
    // When the current screen appeared: the buttons ignore a click that comes so soon after
    // it that it is the second half of a double click on the screen before.
    property double screenShownAt: 0
    // What the screens after Step three tell of the unit. The version it already had when it
    // needed no update, kept here because its drive is gone once they show; empty when it was
    // updated (an up-to-date version is never empty).
    property string upToDateVersion: ""
    // How the removal of its drive ended: 0 removed, otherwise the backend's code.
    property int removalCode: 0

    visible: true
    width: 800
    height: 600
    minimumWidth: 800
    maximumWidth: 800
    minimumHeight: 600
    maximumHeight: 600
    title: "Zentorlab Lumetra Update Tool - Version " + lumetraUpdater.getLumetraUpdateVersion()

    TextStrings {
        id: textStrings
        objectName: "textStrings"
    }

    LumetraInstaller {
        id: lumetraUpdater
    }

    // Every screen's rows are measured in this unit: the fixed window is 8.33 of them high.
    Binding {
        target: Theme
        property: "unit"
        value: window.height / 8.33
    }

    Connections {
        target: lumetraUpdater

        function onRemovalFinished(code) { removalCode = code; }
    }

    Rectangle {
        id: lumetraInstaller
        objectName: "lumetraInstaller"

        anchors.fill: parent
        color: Theme.white

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
                keyboardInUse: window.keyboardInUse
                shownAt: screenShownAt

                onKeyPressed: keyboardInUse = true
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

        // What every screen takes from the window.
        Binding {
            target: mainScreenLoader.item
            property: "arrowWidth"
            value: backButton.width
        }

        Binding {
            target: mainScreenLoader.item
            property: "keyboardInUse"
            value: keyboardInUse
        }

        Binding {
            target: mainScreenLoader.item
            property: "shownAt"
            value: screenShownAt
        }

        Connections {
            target: mainScreenLoader.item

            function onKeyPressed() { keyboardInUse = true; }
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
