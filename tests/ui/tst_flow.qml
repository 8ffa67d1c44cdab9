import QtQuick 2.2
import QtTest 1.2
import LumetraInstaller 1.0

UiTestCase {
    name: "Flow"

    function test_keyboardAlone_data()
    {
        return [{ tag: "unit up to date", needsUpdate: false },
                { tag: "unit that needs the update", needsUpdate: true }];
    }

    // Home to the end without a mouse: each screen's forward button has the focus and a
    // ring, Return, Enter and Space press it, Tab and Shift+Tab go to back and return,
    // Escape only hides the progress.
    function test_keyboardAlone(data)
    {
        Script.answer.needsUpdate = data.needsUpdate;
        keyClick(Qt.Key_Return);
        verify(findChild(onScreen("nextButton"), "focusRing").visible, "no focus ring");
        keyClick(Qt.Key_Enter);
        keyClick(Qt.Key_Tab);
        compare(focused(), "backArrowButton");
        keyClick(Qt.Key_Tab, Qt.ShiftModifier);
        keyClick(Qt.Key_Space);
        compare(flow().state, "StepThree");
        keyClick(Qt.Key_Return);
        if (data.needsUpdate) {
            keyClick(Qt.Key_Escape);
            tryCompare(onScreen("popup"), "opened", false);
            compare(focused(), "nextButton");
            Script.newest.copyFileProgress(1);
            Script.newest.updateFirmwareSuccess();
            tryCompare(flow(), "state", "StepFour", 3000);
        }
        compare(count("uninstallUsb"), 1);
        keyClick(Qt.Key_Return);
        keyClick(Qt.Key_Return);
        compare(host.quits, 1);
    }

    function test_doubleClick_data()
    {
        return [{ tag: "Step two's arrow, over Step three's Update", from: "StepTwo", to: "StepThree" },
                { tag: "back on Step three, over Step two's back", from: "StepThree", to: "StepTwo",
                  back: true }];
    }

    // The second click of a double click lands on the next screen, which the user has not
    // seen yet: it must neither start the update nor go back twice. A later click counts.
    function test_doubleClick(data)
    {
        walkTo(data.from);
        var button = data.back ? back() : onScreen("nextButton");
        wait(Qt.styleHints.mouseDoubleClickInterval);
        mouseDoubleClickSequence(button, button.width / 2, button.height / 2);
        compare(flow().state, data.to);
        compare(count("doesLumetraNeedUpdate"), 0);
        clickOn(data.back ? button : onScreen("nextButton"));
        verify(flow().state !== data.to || count("doesLumetraNeedUpdate") === 1, "a later click");
    }
}
