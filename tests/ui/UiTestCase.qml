import QtQuick 2.2
import QtTest 1.2
import LumetraInstaller 1.0

// The real main window from the resource bundle, on the fake backend, for every test.
TestCase {
    property var app: null

    function init()
    {
        Script.answer = { connected: true, needsUpdate: true, refuses: false, busy: false, removal: 0 };
        Script.calls = [];
        host.quits = 0;
        host.opened = [];
        app = Qt.createComponent("qrc:/main.qml").createObject(null);
        tryCompare(app, "active", true);
    }

    function cleanup() { app.destroy(); wait(0); }
    function flow() { return findChild(app, "lumetraInstaller"); }
    function screen() { return findChild(app, "mainScreenLoader").item; }
    function onScreen(name) { return findChild(screen(), name); }
    function back() { return findChild(app, "backArrowButton"); }
    function bar() { return findChild(onScreen("popup").contentItem, "copyProgressBar"); }
    function strings() { return findChild(app, "textStrings"); }
    function count(call) { return Script.calls.filter(function(c) { return c === call; }).length; }
    // A user's click comes later than a double click after the screen appeared.
    function clickOn(item) { wait(Qt.styleHints.mouseDoubleClickInterval); mouseClick(item); }
    // What a screen reader says as the focus lands where it is now.
    function lastHeard() { return host.describe(app.activeFocusItem); }

    // A reader announces the screen: the focus lies inside the screen's named pane, whose name holds its title. It
    // reads the header and title lines too: the pane's name is not one of them, nor does its description repeat one.
    function heardScreen()
    {
        var pane = host.describe(screen()), title = onScreen("titleText");
        verify(title && pane.name.indexOf(title.text) >= 0, flow().state + " is " + pane.name);
        [title.text, onScreen("headerText").text].forEach(function(line) {
            verify(pane.name !== line && pane.description.indexOf(line) < 0, flow().state + " reads twice: " + line);
        });
        compare(lastHeard().screen, pane.name);
    }

    function walkTo(state)
    {
        for (var i = 0; i < 3 && flow().state !== state; ++i)
            keyClick(Qt.Key_Return);
        compare(flow().state, state);
    }

    when: windowShown
}
