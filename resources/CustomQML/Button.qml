import QtQuick 2.2
// Qualified so that none of its types can shadow the plain QtQuick ones used here.
import QtQuick.Controls 1.4 as Controls1

// A push button that shows a label or an icon glyph. Its colours, font size and font
// families come from the main window by name. The pointer, the keyboard (Return, Enter,
// Space; Tab to reach it) and a screen reader's press action all press it the same way.
Rectangle {
    id: button

    property string buttonColor: nextButtonColor
    property string hoveredColor: nextButtonHoveredColor
    property string disabledColor: color_light_grey
    property string buttonText: ""
    property string textColor: color_white
    property string textHoveredColor: textColor
    property string textDisabledColor: descriptionTextColor
    property real fontSize: textFontSize
    property bool enable: true
    property bool isToggleable: false
    property bool displayIcon: false
    property string icon: ""
    property var textItem: buttonTextComponent
    property var mouseAreaItem: mouseArea
    property string textFontFamily: robotoRegular.name
    property real textScale: 1.0
    property real iconScale: 2.5
    // What a screen reader says: the label, or what an arrow does.
    property string accessibleName: buttonText
    property string accessibleDescription: ""

    signal clicked()
    signal pressed()
    signal released()

    function press()
    {
        if (!enable)
            return;
        if (isToggleable)
            button.state = button.state == "toggledOn" ? "hovered" : "toggledOn";
        button.clicked();
    }

    function toggleOn()
    {
        button.state = "toggledOn";
    }

    function toggleOff()
    {
        button.state = "";
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
        keyboardInUse = true;
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

        anchors.centerIn: parent
        text: buttonText
        font.family: textFontFamily
        font.pointSize: fontSize
        font.bold: true
        color: textColor
        scale: textScale
        visible: !displayIcon

        // The button itself carries the name.
        Accessible.ignored: true
    }

    Text {
        id: displayIconComponent
        objectName: "buttonIcon"

        anchors.centerIn: parent
        text: icon
        font.family: materialIcons.name
        font.pointSize: fontSize
        font.bold: true
        // The glyph is white in every state, a disabled button included.
        color: color_white
        scale: iconScale
        visible: displayIcon

        Accessible.ignored: true
    }

    Rectangle {
        objectName: "focusRing"

        anchors.fill: parent
        anchors.margins: 4
        color: "transparent"
        border.width: 2
        border.color: enable ? color_white : descriptionTextColor
        visible: button.activeFocus && keyboardInUse
    }

    MouseArea {
        id: mouseArea
        objectName: "buttonMouseArea"

        anchors.fill: parent
        hoverEnabled: true
        // Above anything a user of the button might add as a child.
        z: 100000000000000

        onPressed: button.pressed()
        onReleased: button.released()
        onClicked: {
            // The second click of a double click on the screen before lands here: a screen
            // the user has not yet seen must not act on it.
            if (Date.now() - screenShownAt < Qt.styleHints.mouseDoubleClickInterval)
                return;
            press();
        }
        onEntered: {
            if (enable && button.state != "toggledOn")
                button.state = "hovered";
        }
        onExited: {
            if (enable && button.state != "toggledOn")
                button.state = "";
        }
    }

    states: [
        State {
            name: "hovered"
            PropertyChanges { target: button; color: hoveredColor }
            PropertyChanges { target: buttonTextComponent; color: textHoveredColor }
        },
        State {
            name: ""
            PropertyChanges { target: button; color: buttonColor }
            PropertyChanges { target: buttonTextComponent; color: textColor }
        },
        State {
            name: "disabled"
            PropertyChanges { target: button; color: disabledColor }
            PropertyChanges { target: buttonTextComponent; color: textDisabledColor }
        },
        State {
            name: "toggledOn"
            PropertyChanges { target: button; color: hoveredColor }
            PropertyChanges { target: buttonTextComponent; color: textHoveredColor }
        }
    ]

    transitions: Transition {
        ColorAnimation { properties: "color"; duration: 150; easing.type: Easing.Bezier }
    }
}
