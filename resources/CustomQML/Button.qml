import QtQuick 2.2
import "."

// A push button that shows a label or an icon glyph. The pointer, the keyboard (Return, Enter,
// Space; Tab to reach it) and a screen reader's press action all press it the same way.
Rectangle {
    id: button

    property string buttonColor: Theme.nextButtonColor
    property string hoveredColor: Theme.nextButtonHoveredColor
    property string buttonText: ""
    property bool enable: true
    property bool displayIcon: false
    property string icon: ""
    // What a screen reader says: the label, or what an arrow does.
    property string accessibleName: buttonText
    property string accessibleDescription: ""
    // The focus ring shows once the keyboard is in use, so a mouse user sees the screens
    // as they always were.
    property bool keyboardInUse: false
    // When the button's screen appeared: a click that comes so soon after it is the second
    // half of a double click on the screen before.
    property double shownAt: 0

    signal clicked()
    // A key reached the button: from now on the keyboard is in use.
    signal keyPressed()

    function press()
    {
        if (enable)
            button.clicked();
    }

    color: buttonColor
    // A grey button is out of the Tab order (once it has lost the focus); an invisible one
    // is anyway.
    activeFocusOnTab: enable || activeFocus

    Accessible.role: Accessible.Button
    Accessible.name: accessibleName
    Accessible.description: accessibleDescription
    Accessible.focusable: true
    Accessible.onPressAction: press()

    Keys.onPressed: {
        button.keyPressed();
        if (event.key !== Qt.Key_Return && event.key !== Qt.Key_Enter && event.key !== Qt.Key_Space)
            return;
        event.accepted = true;
        // A held key must not press the forward button of every screen that follows.
        if (!event.isAutoRepeat)
            press();
    }

    onEnableChanged: button.state = enable ? "" : "disabled"
    // A button made disabled from the start never sees enable change.
    Component.onCompleted: {
        if (!enable)
            button.state = "disabled";
    }

    Text {
        id: buttonTextComponent
        objectName: "buttonText"

        // A label too long for one line (Mettre à jour) takes two, close together.
        width: parent.width - 8
        anchors.centerIn: parent
        text: buttonText
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.WordWrap
        lineHeight: 0.85
        font.family: Theme.regularFont
        font.pointSize: Theme.textFontSize
        font.bold: true
        color: Theme.white
        visible: !displayIcon

        // The button itself carries the name.
        Accessible.ignored: true
    }

    Text {
        objectName: "buttonIcon"

        anchors.centerIn: parent
        text: icon
        font.family: Theme.iconFont
        font.pointSize: Theme.textFontSize
        font.bold: true
        // The glyph is white in every state, a disabled button included.
        color: Theme.white
        scale: 2.5
        visible: displayIcon

        Accessible.ignored: true
    }

    Rectangle {
        objectName: "focusRing"

        anchors.fill: parent
        anchors.margins: 4
        color: "transparent"
        border.width: 2
        border.color: enable ? Theme.white : Theme.descriptionTextColor
        visible: button.activeFocus && keyboardInUse
    }

    MouseArea {
        objectName: "buttonMouseArea"

        anchors.fill: parent
        hoverEnabled: true

        onClicked: {
            // The second click of a double click on the screen before lands here: a screen
            // the user has not yet seen must not act on it.
            if (Date.now() - shownAt < Qt.styleHints.mouseDoubleClickInterval)
                return;
            press();
        }
        onEntered: {
            if (enable)
                button.state = "hovered";
        }
        onExited: {
            if (enable)
                button.state = "";
        }
    }

    states: [
        State {
            name: "hovered"
            PropertyChanges { target: button; color: hoveredColor }
        },
        State {
            name: ""
            PropertyChanges { target: button; color: buttonColor }
        },
        State {
            name: "disabled"
            PropertyChanges { target: button; color: Theme.lightGrey }
            PropertyChanges { target: buttonTextComponent; color: Theme.descriptionTextColor }
        }
    ]

    transitions: Transition {
        ColorAnimation { properties: "color"; duration: 150; easing.type: Easing.Bezier }
    }
}
