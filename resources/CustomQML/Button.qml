import QtQuick 2.0
// Qualified so that none of its types can shadow the plain QtQuick ones used here.
import QtQuick.Controls 1.4 as Controls1

// A push button that shows a label or an icon glyph. Its colours, font size and font
// families come from the main window by name.
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

    signal clicked()
    signal pressed()
    signal released()

    function toggleOn()
    {
        button.state = "toggledOn";
    }

    function toggleOff()
    {
        button.state = "";
    }

    color: buttonColor

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
            if (!enable)
                return;
            if (isToggleable)
                button.state = button.state == "toggledOn" ? "hovered" : "toggledOn";
            button.clicked();
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
