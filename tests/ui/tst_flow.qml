import QtQuick 2.2
import QtTest 1.2

UiTestCase {
    name: "Flow"

    // A window that can be stretched shows the screens' fixed layout torn apart.
    function test_window()
    {
        compare(app.width, 800);
        compare(app.height, 600);
        compare(app.minimumWidth, 800);
        compare(app.maximumWidth, 800);
        compare(app.minimumHeight, 600);
        compare(app.maximumHeight, 600);
        compare(app.title, "Zentorlab Lumetra Update Tool - Version 1.73");
        fuzzyCompare(app.unitLength, 72.03, 0.01);
    }

    // One user's whole road: Start, two arrows, "Update" on a unit that needs none (it is
    // removed at once), the arrow, and the finish screen.
    function test_homeToFinish()
    {
        fakeBackend.needsUpdate = false;
        var screens = [["Home", "homeScreen"], ["StepOne", "stepOneScreen"],
                       ["StepTwo", "stepTwoScreen"], ["StepThree", "stepThreeScreen"],
                       ["StepFour", "stepFourScreen"], ["Finish", "finishScreen"]];
        for (var i = 0; i < screens.length; ++i) {
            compare(flow().state, screens[i][0]);
            compare(screen().objectName, screens[i][1]);
            if (i + 1 < screens.length)
                clickOn(onScreen("nextButton"));
        }
        compare(fakeBackend.calls, ["isLumetraConnected", "doesLumetraNeedUpdate", "uninstallUsb"]);
        compare(app.previousStates, ["Home", "StepOne", "StepTwo", "StepThree", "StepFour", "Finish"]);
    }

    function test_logoOpensTheMakersSite()
    {
        clickOn(onScreen("logoRow"));
        compare(fakeBackend.openedUrls, ["https://www.zentorlab.com"]);
        compare(flow().state, "Home");
    }

    // Back from step three and forward again must not bring back a stale screen: a half
    // run bar or a "Updating" label would say a copy runs that nobody started.
    function test_backAndForwardAgain()
    {
        walkTo("StepThree");
        clickOn(onScreen("nextButton"));
        fakeBackend.emitProgress(0.5);
        fakeBackend.pressKey(app, Qt.Key_Escape);
        tryCompare(onScreen("popup"), "opened", false);

        var back = find(app, "backArrowButton");
        clickOn(back);
        compare(flow().state, "StepTwo");
        compare(app.previousStates, ["Home", "StepOne", "StepTwo"]);
        clickOn(back);
        compare(flow().state, "StepOne");
        compare(app.previousStates, ["Home", "StepOne"]);
        verify(!find(app, "backButton").visible, "no way back from step one");

        fakeBackend.connected = false;
        walkTo("StepThree");
        compare(fakeBackend.callCount("isLumetraConnected"), 2);
        var button = onScreen("nextButton");
        compare(button.buttonText, "Update");
        verify(!button.enable);
        compare(String(onScreen("icon").source), "qrc:/Assets/lumetra-NotDetected.jpg");
        var bar = findChild(onScreen("popup").contentItem, "copyProgressBar");
        compare(bar.value, 0);
        verify(!onScreen("popup").opened);
        // The old screen's connections went with it.
        tryVerify(function() { return String(fakeBackend.receiverCounts()) === "1,1,1"; });
    }

    function test_backButtonOnlyOnStepsTwoAndThree_data()
    {
        return [
            { tag: "Home", state: "Home", visible: false },
            { tag: "Step 1", state: "StepOne", visible: false },
            { tag: "Step 2", state: "StepTwo", visible: true },
            { tag: "Step 3", state: "StepThree", visible: true },
            { tag: "Step 4", state: "StepFour", visible: false },
            { tag: "Finish", state: "Finish", visible: false },
            { tag: "Up to date", state: "UpToDate", visible: false }
        ];
    }

    // The screen area must not jump sideways when the back column disappears.
    function test_backButtonOnlyOnStepsTwoAndThree(data)
    {
        flow().state = data.state;
        var column = find(app, "backButton");
        compare(column.visible, data.visible);
        compare(column.width, 60);
        compare(column.height, 600);
        var back = find(app, "backArrowButton");
        compare(back.width, 60);
        compare(back.height, 60);
        compare(back.mapToItem(null, 0, 0).y, 270);
        var area = find(app, "mainScreenLoader");
        compare(area.x, 60);
        compare(area.width, 740);
        compare(area.height, 600);
        compare(screen().width, 740);
    }

    function test_screenTexts_data()
    {
        return [
            { tag: "Home", state: "Home",
              texts: { productText: "Lumetra", productDescriptionText: "Automated post-processing unit",
                       toolText: "Update Tool", versionText: "Version 1.73" },
              picture: "qrc:/Assets/ZentorlabLogo.png", label: "Start" },
            { tag: "Step 1", state: "StepOne",
              texts: { headerText: "Step 1", titleText: "Disconnect Lumetra from power." },
              lines: ["Begin by switching Lumetra's power to the 'off' position.",
                      "Next, unplug Lumetra from its power source.",
                      "Lumetra must be unplugged from power in order to update successfully."],
              wrapped: true, picture: "qrc:/Assets/Lumetra-Disconnect.jpg", label: "" },
            { tag: "Step 2", state: "StepTwo",
              texts: { headerText: "Step 2", titleText: "Connect your computer to Lumetra via USB." },
              lines: ["After Lumetra has been disconnected from power, use the provided USB cable to connect your computer to Lumetra."],
              wrapped: true, picture: "qrc:/Assets/lumetra-ConnectUSB.jpg", label: "" },
            { tag: "Step 3", state: "StepThree",
              texts: { headerText: "Step 3", titleText: "Begin Lumetra update." },
              lines: ["Now that Lumetra has been unplugged from power and connected to your computer, it is ready to receive updates.",
                      "Press the 'update' button to begin the process.",
                      "Do not unplug the USB cable from your computer or Lumetra during the update"],
              wrapped: true, picture: "qrc:/Assets/lumetra-Detected.jpg", label: "Update" },
            { tag: "Step 4", state: "StepFour",
              texts: { headerText: "Step 4", titleText: "Unplug USB cable from Lumetra." },
              lines: ["To finalize the update, unplug the USB cable from Lumetra",
                      "Do not reconnect Lumetra to power until you have removed the USB cable."],
              wrapped: true, picture: "qrc:/Assets/lumetra-UnplugUSB.jpg", label: "" },
            { tag: "Finish", state: "Finish",
              texts: { headerText: "Step 5", titleText: "The update is complete!" },
              lines: ["You can now reconnect Lumetra to power and switch it back on.",
                      "Note that Lumetra may take a few seconds to restart."],
              wrapped: true, picture: "qrc:/Assets/lumetra-FinishUpdate.jpg", label: "Finish" },
            // The device's version text as it comes, line end included.
            { tag: "Up to date", state: "UpToDate",
              texts: { headerText: "Your Lumetra is already on version 1.73\n",
                       titleText: "Lumetra update is completed",
                       descText: "Your Lumetra has already received the update included in this installer. "
                                 + "Press 'Finish' and restart your Lumetra to resume service. If you suspect "
                                 + "that your Lumetra is not up to date, visit https://www.zentorlab.com/software "
                                 + "to download the latest version of this installation wizard." },
              picture: "qrc:/Assets/lumetra-FinishUpdate.jpg", label: "Finish" }
        ];
    }

    function test_screenTexts(data)
    {
        fakeBackend.currentVersion = "1.73\n";
        flow().state = data.state;
        for (var name in data.texts)
            compare(onScreen(name).text, data.texts[name], name);
        compare(String(onScreen("icon").source), data.picture);

        if (data.lines) {
            var list = onScreen("descriptionListView");
            compare(list.count, data.lines.length);
            for (var i = 0; i < data.lines.length; ++i) {
                list.currentIndex = i;
                var line = findChild(list.currentItem, "descText");
                compare(line.text, data.lines[i]);
                compare(line.wrapMode === Text.WordWrap, data.wrapped, "wrapping of " + data.lines[i]);
            }
        }

        // A labelled button is twice as wide as an arrow; both sit at the right edge,
        // centred, and the text column leaves room for them.
        var button = onScreen("nextButton");
        compare(button.buttonText, data.label);
        compare(button.displayIcon, data.label === "");
        compare(button.width, data.label === "" ? 60 : 120);
        compare(button.height, 60);
        compare(button.mapToItem(null, 0, 0).x + button.width, 800);
        compare(button.y, 270);
    }
}
