import QtQuick 2.2
import QtTest 1.2

UiTestCase {
    name: "StepThree"

    function popup()
    {
        return onScreen("popup");
    }

    function bar()
    {
        return find(popup().contentItem, "copyProgressBar");
    }

    function openStepThree(connected, needsUpdate)
    {
        fakeBackend.connected = connected;
        fakeBackend.needsUpdate = needsUpdate;
        walkTo("StepThree");
        fakeBackend.calls = [];
    }

    function test_detection_data()
    {
        return [
            { tag: "unit absent: grey Update, clicks do nothing", connected: false,
              picture: "qrc:/Assets/lumetra-NotDetected.jpg", fill: "#dddddd", label: "#666666" },
            { tag: "unit present: green Update", connected: true,
              picture: "qrc:/Assets/lumetra-Detected.jpg", fill: "#00ad4e", label: "#ffffff" }
        ];
    }

    function test_detection(data)
    {
        openStepThree(data.connected, true);
        var button = onScreen("nextButton");
        compare(String(onScreen("icon").source), data.picture);
        compare(button.buttonText, "Update");
        compare(button.enable, data.connected);
        tryColour(button, data.fill);
        compare(hex(button.textItem.color), data.label);
        clickOn(button);
        if (data.connected) {
            compare(fakeBackend.calls, ["doesLumetraNeedUpdate", "updateLumetra"]);
            verify(popup().opened);
        } else {
            compare(fakeBackend.calls, []);
            verify(!popup().opened);
            compare(flow().state, "StepThree");
        }
    }

    // A unit that already has this firmware is removed and the user moves on at once;
    // a progress popup would announce a copy that never comes.
    function test_upToDateUnitGoesStraightToStepFour()
    {
        openStepThree(true, false);
        var shown = signalSpy.createObject(null, { target: popup(), signalName: "aboutToShow" });
        clickOn(onScreen("nextButton"));
        compare(fakeBackend.calls, ["doesLumetraNeedUpdate", "uninstallUsb"]);
        compare(flow().state, "StepFour");
        compare(shown.count, 0);
        shown.destroy();
    }

    // The drive may be removed only after the backend has written the version file,
    // which it does on success; the success comes right behind the last progress value,
    // while the bar is still gliding to 1.
    function test_updateCompletesWhenTheBarReachesOne()
    {
        openStepThree(true, true);
        var button = onScreen("nextButton");
        clickOn(button);
        compare(fakeBackend.calls, ["doesLumetraNeedUpdate", "updateLumetra"]);
        compare(button.buttonText, "Updating");
        verify(!button.enable);
        verify(popup().opened);
        compare(bar().value, 0);

        var progressBar = bar();
        var ones = 0;
        var onTheWay = 0;
        progressBar.valueChanged.connect(function() {
            if (progressBar.value === 1)
                ++ones;
            else if (progressBar.value > 0 && progressBar.value < 0.5)
                ++onTheWay;
        });
        fakeBackend.emitProgress(0);
        fakeBackend.emitProgress(0.5);
        tryCompare(progressBar, "value", 0.5, 2000);
        verify(onTheWay > 0, "the bar glides instead of jumping");
        fakeBackend.emitProgress(1);
        fakeBackend.emitSuccess();
        compare(fakeBackend.callCount("uninstallUsb"), 0);
        verify(progressBar.value < 1);
        compare(flow().state, "StepThree");

        tryCompare(flow(), "state", "StepFour", 2000);
        compare(ones, 1);
        compare(fakeBackend.calls, ["doesLumetraNeedUpdate", "updateLumetra", "progress 0",
                                    "progress 0.5", "progress 1", "success", "uninstallUsb"]);
    }

    function test_failureLetsTheUserTryAgain()
    {
        openStepThree(true, true);
        var button = onScreen("nextButton");
        clickOn(button);
        fakeBackend.emitProgress(0);
        fakeBackend.emitProgress(0.3);
        fakeBackend.emitFailed();
        verify(!popup().opened);
        compare(button.buttonText, "Update");
        verify(button.enable);
        tryCompare(bar(), "value", 0, 2000);
        compare(flow().state, "StepThree");
        compare(fakeBackend.callCount("uninstallUsb"), 0);

        fakeBackend.calls = [];
        clickOn(button);
        compare(fakeBackend.calls, ["doesLumetraNeedUpdate", "updateLumetra"]);
        verify(popup().opened);
    }

    // Escape hides the popup but not the copy: the button stays off until it ends.
    function test_secondClickWhileUpdatingDoesNothing()
    {
        openStepThree(true, true);
        var button = onScreen("nextButton");
        clickOn(button);
        clickOn(button);
        fakeBackend.pressKey(app, Qt.Key_Escape);
        tryCompare(popup(), "opened", false);
        clickOn(button);
        compare(fakeBackend.calls, ["doesLumetraNeedUpdate", "updateLumetra"]);
        compare(button.buttonText, "Updating");

        fakeBackend.emitProgress(1);
        fakeBackend.emitSuccess();
        tryCompare(flow(), "state", "StepFour", 2000);
        compare(fakeBackend.callCount("uninstallUsb"), 1);
    }

    // A copy that ends after the user went back must not eject the drive or move a
    // screen that is no longer shown.
    function test_leavingDisconnectsTheBackend()
    {
        openStepThree(true, true);
        compare(String(fakeBackend.receiverCounts()), "1,1,1");
        clickOn(onScreen("nextButton"));
        fakeBackend.pressKey(app, Qt.Key_Escape);
        tryCompare(popup(), "opened", false);
        clickOn(find(app, "backArrowButton"));
        compare(flow().state, "StepTwo");
        tryVerify(function() { return String(fakeBackend.receiverCounts()) === "0,0,0"; });
        fakeBackend.emitProgress(1);
        fakeBackend.emitSuccess();
        fakeBackend.emitFailed();
        compare(flow().state, "StepTwo");
        compare(fakeBackend.callCount("uninstallUsb"), 0);
    }

    // Detected at first, gone at "Update": no copy starts and no signal will come, so a
    // popup at 0 and a grey "Updating" would wait for ever.
    function test_unitGoneAtUpdate()
    {
        openStepThree(true, true);
        fakeBackend.connected = false;
        var button = onScreen("nextButton");
        clickOn(button);
        compare(fakeBackend.calls, ["doesLumetraNeedUpdate", "updateLumetra"]);
        verify(!popup().opened);
        compare(button.buttonText, "Update");
        verify(!button.enable);
        compare(String(onScreen("icon").source), "qrc:/Assets/lumetra-NotDetected.jpg");
        tryColour(button, "#dddddd");

        clickOn(button);
        compare(fakeBackend.calls, ["doesLumetraNeedUpdate", "updateLumetra"]);
        clickOn(find(app, "backArrowButton"));
        compare(flow().state, "StepTwo");
    }

    Component {
        id: signalSpy
        SignalSpy {}
    }
}
