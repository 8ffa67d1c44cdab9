import QtQuick 2.2
import QtTest 1.2

// Loads the real main window from the resource bundle for every test, against the
// scripted backend "fakeBackend", and finds its parts by objectName.
TestCase {
    property var app: null

    function init()
    {
        fakeBackend.reset();
        var component = Qt.createComponent("qrc:/main.qml");
        compare(component.status, Component.Ready, component.errorString());
        app = component.createObject(null);
        verify(app, "the main window could not be created");
        tryCompare(app, "visible", true);
        tryCompare(screen(), "objectName", "homeScreen");
        waitForRendering(screen());
    }

    function cleanup()
    {
        if (app) {
            app.destroy();
            app = null;
        }
        // Let the window and its screens go before the next test makes its own.
        wait(0);
    }

    function flow()
    {
        return find(app, "lumetraInstaller");
    }

    function screen()
    {
        return find(app, "mainScreenLoader").item;
    }

    function find(parent, name)
    {
        var item = findChild(parent, name);
        verify(item, "no item named " + name);
        return item;
    }

    function onScreen(name)
    {
        return find(screen(), name);
    }

    function clickOn(item)
    {
        mouseClick(item, item.width / 2, item.height / 2);
    }

    // Walks the flow by its own buttons, as a user would.
    function walkTo(state)
    {
        var order = ["Home", "StepOne", "StepTwo", "StepThree"];
        var target = order.indexOf(state);
        verify(target >= 0, "cannot walk to " + state);
        for (var i = order.indexOf(flow().state); i < target; ++i) {
            clickOn(onScreen("nextButton"));
            compare(flow().state, order[i + 1]);
        }
        waitForRendering(screen());
    }

    // Colours as "#rrggbb", so that they compare with the palette's strings.
    function hex(colour)
    {
        return String(colour);
    }

    // Colour changes fade over 150 ms.
    function tryColour(item, expected)
    {
        tryVerify(function() { return hex(item.color) === expected; }, 1000,
                  item.objectName + " is " + hex(item.color) + ", not " + expected);
    }

    when: windowShown
}
