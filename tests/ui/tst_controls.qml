import QtQuick 2.2
import QtTest 1.2

UiTestCase {
    name: "Controls"

    function button(name)
    {
        if (name === "backArrowButton") {
            walkTo("StepTwo");
            return find(app, name);
        }
        return onScreen(name);
    }

    function test_colours_data()
    {
        return [
            { tag: "Start at rest", button: "nextButton", action: "rest",
              fill: "#00ad4e", label: "#ffffff" },
            { tag: "Start under the pointer", button: "nextButton", action: "hover",
              fill: "#00c454", label: "#ffffff" },
            { tag: "Start after the pointer left", button: "nextButton", action: "hoverAndLeave",
              fill: "#00ad4e", label: "#ffffff" },
            { tag: "back at rest", button: "backArrowButton", action: "rest",
              fill: "#666666", label: "#ffffff" },
            { tag: "back under the pointer", button: "backArrowButton", action: "hover",
              fill: "#777777", label: "#ffffff" },
            { tag: "Start disabled, pointer over it", button: "nextButton", action: "disableThenHover",
              fill: "#dddddd", label: "#666666" },
            { tag: "Start disabled while hovered", button: "nextButton", action: "hoverThenDisable",
              fill: "#dddddd", label: "#666666" },
            { tag: "Start enabled again, pointer still over it", button: "nextButton",
              action: "hoverDisableEnable", fill: "#00ad4e", label: "#ffffff" },
            { tag: "back disabled: white arrow on light grey", button: "backArrowButton",
              action: "disableThenHover", fill: "#dddddd", label: "#666666" },
            { tag: "toggled on, pointer gone", button: "nextButton", action: "toggleAndLeave",
              fill: "#00c454", label: "#ffffff", state: "toggledOn" },
            { tag: "toggled on, then off", button: "nextButton", action: "toggleOnOff",
              fill: "#00ad4e", label: "#ffffff", state: "" }
        ];
    }

    function test_colours(data)
    {
        var target = button(data.button);
        var inside = function() { mouseMove(target, target.width / 2, target.height / 2); };
        var outside = function() { mouseMove(target, target.width / 2, -target.height); };
        switch (data.action) {
        case "hover":
            inside();
            break;
        case "hoverAndLeave":
            inside();
            tryColour(target, target.hoveredColor);
            outside();
            break;
        case "disableThenHover":
            target.enable = false;
            inside();
            break;
        case "hoverThenDisable":
            inside();
            target.enable = false;
            break;
        case "hoverDisableEnable":
            inside();
            tryColour(target, target.hoveredColor);
            target.enable = false;
            tryColour(target, "#dddddd");
            target.enable = true;
            break;
        case "toggleAndLeave":
            target.toggleOn();
            inside();
            outside();
            break;
        case "toggleOnOff":
            target.toggleOn();
            tryColour(target, target.hoveredColor);
            target.toggleOff();
            break;
        }
        tryColour(target, data.fill);
        compare(hex(target.textItem.color), data.label);
        if (data.state !== undefined)
            compare(target.state, data.state);
        // The glyph is white whatever the state; the label hides behind it on icon buttons.
        var icon = findChild(target, "buttonIcon");
        compare(hex(icon.color), "#ffffff");
        compare(icon.visible, target.displayIcon);
        compare(target.textItem.visible, !target.displayIcon);
    }

    function test_toggleByClick_data()
    {
        return [
            { tag: "a click toggles on", toggledOn: false, state: "toggledOn" },
            { tag: "a second click toggles off, to hovered", toggledOn: true, state: "hovered" }
        ];
    }

    function test_toggleByClick(data)
    {
        var target = onScreen("nextButton");
        target.isToggleable = true;
        if (data.toggledOn)
            target.toggleOn();
        var clicked = signalSpy.createObject(null, { target: target, signalName: "clicked" });
        clickOn(target);
        // Read before the screen this button belongs to goes.
        compare(target.state, data.state);
        compare(clicked.count, 1);
        clicked.destroy();
    }

    function test_signals_data()
    {
        return [
            { tag: "enabled", enable: true, clicked: 1 },
            { tag: "disabled", enable: false, clicked: 0 }
        ];
    }

    // Only an enabled button acts; presses and releases are reported either way.
    function test_signals(data)
    {
        var target = onScreen("nextButton");
        target.enable = data.enable;
        var spies = {};
        ["clicked", "pressed", "released"].forEach(function(name) {
            spies[name] = signalSpy.createObject(null, { target: target, signalName: name });
        });
        clickOn(target);
        compare(spies.clicked.count, data.clicked);
        compare(spies.pressed.count, 1);
        compare(spies.released.count, 1);
        compare(flow().state, data.enable ? "StepOne" : "Home");
        for (var name in spies)
            spies[name].destroy();
    }

    // A bar that jumps says the copy is further than it is; the screen moves on when the
    // bar shows exactly 1, so that moment must be the end of the glide.
    function test_glide()
    {
        var component = Qt.createComponent("qrc:/CustomQML/WorkProgressBar.qml");
        compare(component.status, Component.Ready, component.errorString());
        var bar = component.createObject(this, { value: 0.4 });
        compare(bar.value, 0.4);
        var seen = [];
        var reachedAt = 0;
        var started = Date.now();
        bar.valueChanged.connect(function() {
            seen.push(bar.value);
            if (bar.value === 1)
                reachedAt = Date.now() - started;
        });
        bar.value = 1;
        verify(bar.value < 1, "the new value shows at once");
        tryCompare(bar, "value", 1, 3000);
        verify(seen.length > 2, "the bar passed through " + seen.length + " values");
        for (var i = 0; i + 1 < seen.length; ++i)
            verify(seen[i] >= 0.4 && seen[i] < 1, "value " + seen[i] + " on the way");
        compare(seen[seen.length - 1], 1);
        verify(reachedAt >= 900, "reached 1 after " + reachedAt + " ms");
        bar.destroy();
    }

    Component {
        id: signalSpy
        SignalSpy {}
    }
}
