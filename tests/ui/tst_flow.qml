import QtQuick 2.2
import QtTest 1.2
import LumetraInstaller 1.0

UiTestCase {
    name: "Flow"

    function test_keyboardAlone_data()
    {
        return [{ tag: "unit up to date", needsUpdate: false }, { tag: "unit to update", needsUpdate: true }];
    }

    // Home to the end without a mouse: Tab to the maker's link, focus and a ring on each forward button, Return,
    // Enter and Space press it, Escape only hides the progress; a reader hears each screen by name, each text once,
    // and the popup as one named dialog.
    function test_keyboardAlone(data)
    {
        Script.answer.needsUpdate = data.needsUpdate;
        keyClick(Qt.Key_Tab);
        keyClick(Qt.Key_Return);
        compare(host.opened.length, 1);
        keyClick(Qt.Key_Tab, Qt.ShiftModifier);
        keyClick(Qt.Key_Return);
        heardScreen();
        verify(findChild(onScreen("nextButton"), "focusRing").visible, "no focus ring");
        keyClick(Qt.Key_Enter);
        heardScreen();
        keyClick(Qt.Key_Tab);
        compare(app.activeFocusItem.objectName, "backArrowButton");
        keyClick(Qt.Key_Tab, Qt.ShiftModifier);
        keyClick(Qt.Key_Space);
        compare(flow().state, "StepThree");
        heardScreen();
        keyClick(Qt.Key_Return);
        if (data.needsUpdate) {
            compare(lastHeard().dialogs, ["Updating Lumetra"], "the dialogs around the focus");
            keyClick(Qt.Key_Escape);
            tryCompare(onScreen("popup"), "opened", false);
            compare(app.activeFocusItem.objectName, "nextButton");
            Script.newest.copyFileProgress(1);
            Script.newest.updateFirmwareSuccess();
            tryCompare(flow(), "state", "StepFour", 3000);
        }
        for (var i = 0; i < 2; ++i) {
            heardScreen();
            keyClick(Qt.Key_Return);
        }
        compare(host.quits, 1);
    }

    // The unit at Step three and at "Update", the backend's signals after the click, and when Step four comes:
    // "now" at the last event, "glide" once the bar has glided on to 1, "never": Step three stands again. Then
    // what Step four says (fourth, its name and description) with the removal's code, and the screen after it.
    function test_update_data()
    {
        var upToDate = /^Step 4: Unplug USB cable from Lumetra\. Lumetra already has this firmware: unplug the USB/;
        return [
            { tag: "up to date: the drive goes at once, then the up-to-date screen", needsUpdate: false, events: [],
              ends: "now", fourth: upToDate, last: "UpToDate" },
            { tag: "another updater finished first: the up-to-date screen, not \"complete\"", ends: "glide",
              events: [["progress", 1], ["upToDate", "1.73"], ["success"]], fourth: upToDate, last: "UpToDate" },
            { tag: "removal refused after the update: updated, eject by hand, in use", removal: 5, ends: "glide",
              events: [["progress", 1], ["success"]],
              fourth: /^Step 4: Eject Lumetra's drive by hand\. The firmware is updated, .* Another program is using/ },
            { tag: "removal refused by the system: why in words", removal: 2, ends: "glide",
              events: [["progress", 1], ["success"]], fourth: /is updated, .* The system refused to eject it\. Eject/ },
            { tag: "up to date, removal refused: eject by hand, then the up-to-date screen", needsUpdate: false,
              removal: 4, events: [], ends: "now", last: "UpToDate",
              fourth: /by hand\. Lumetra already has this firmware, but .* The drive was not found\. Eject/ },
            { tag: "last value and success once the bar has glided to the rest: a glide again", ends: "glide",
              events: [["progress", 0.4], ["read", "40 %"], ["progress", 1], ["success"]] },
            { tag: "double clicks on Step two's arrow and Step three's back: the second click presses nothing on the "
                   + "screen it lands on", ends: "glide", events: [["progress", 1], ["success"]],
              doubleClicks: [["StepTwo", "nextButton", "StepThree"], ["StepThree", "backArrowButton", "StepTwo"]] },
            { tag: "success once the bar has glided to the last value: not before it", ends: "now",
              events: [["progress", 1], ["read", "100 %"], ["success"]] },
            { tag: "failure after the last value: Update again", ends: "never", ready: true,
              events: [["progress", 1], ["read", "100 %"], ["failed"]] },
            { tag: "left during the copy: its end reaches nothing", ends: "never", ready: true,
              events: [["escape"], ["back"], ["progress", 1], ["success"], ["wait", 1500], ["forward"]] },
            { tag: "failure after the old image was overwritten: why, and the firmware incomplete", ends: "never",
              ready: true, says: "incomplete", line: /^The update failed\. /,
              events: [["progress", 0.5], ["because", UpdateFailure.WriteFailed, true], ["failed"]] },
            { tag: "failure before: why, and not a word of an incomplete firmware", ends: "never", ready: true,
              says: "why", line: /drive is full\.$/, events: [["because", UpdateFailure.FullDrive, false], ["failed"]] },
            { tag: "a new try clears the line; its failure says its own", ends: "never", ready: true, says: "why",
              line: /drive is read-only\.$/,
              events: [["because", UpdateFailure.DriveGone, true], ["failed"], ["retry"], ["says", false],
                       ["because", UpdateFailure.ReadOnly, false], ["failed"]] },
            { tag: "another LumetraInstaller updates the unit: busy said, Update ready", busy: true, ends: "never",
              ready: true, says: "why", line: /^Another LumetraInstaller is updating this Lumetra\./, events: [] },
            { tag: "refused, unit there: Update back once the other copy ends", refuses: true, ends: "never",
              ready: true, events: [["ready", false], ["success"]] },
            { tag: "refused, unit gone", goes: true, ends: "never", ready: false, events: [["failed"]] },
            { tag: "unit absent: Update does nothing", absent: true, ends: "never", ready: false, events: [] }
        ];
    }

    function test_update(data)
    {
        Script.answer.connected = !data.absent;
        Script.answer.needsUpdate = data.needsUpdate !== false;
        (data.doubleClicks || []).forEach(function(click) {
            walkTo(click[0]);
            wait(Qt.styleHints.mouseDoubleClickInterval); // a user's pause on the screen first
            mouseDoubleClickSequence(findChild(app, click[1]));
            compare([flow().state, count("updateLumetra")], [click[2], 0]);
        });
        walkTo("StepThree");
        Script.answer.refuses = !!data.refuses;
        Script.answer.busy = !!data.busy;
        Script.answer.removal = data.removal || 0;
        Script.answer.connected = !data.absent && !data.goes;
        var button = onScreen("nextButton");
        clickOn(button);
        // A second click while the first one's work runs is not a second update.
        if (flow().state === "StepThree" && !data.busy)
            clickOn(button);
        compare(count("updateLumetra"), data.absent || data.needsUpdate === false ? 0 : 1);
        data.events.forEach(function(event) {
            switch (event[0]) {
            case "progress": Script.newest.copyFileProgress(event[1]); break;
            case "failed": Script.newest.updateFirmwareFailed(); break;
            case "because": Script.newest.updateFailedBecause(event[1], event[2]); break;
            case "upToDate": Script.newest.foundUpToDate(event[1]); break;
            case "retry": clickOn(button); break;
            case "says": compare(onScreen("failureText").visible, event[1]); break;
            case "wait": wait(event[1]); break; // a glide's length with no effect: no signal to wait on
            case "escape": keyClick(Qt.Key_Escape); break;
            case "back": clickOn(back()); break;
            case "forward": keyClick(Qt.Key_Return); break;
            case "ready": compare(button.enable, event[1]); break;
            case "read": // what a reader hears once the bar has glided there
                tryVerify(function() { return host.describe(bar()).description === event[1]; }, 2000, event[1]);
                break;
            case "success":
                compare(count("uninstallUsb"), 0, "the drive went before the success");
                Script.newest.updateFirmwareSuccess();
            }
        });
        if (data.ends === "glide") { // the bar as drawn glides on to its end for a second: frame by frame, not at once
            var fill = findChild(bar(), "progressFill"), widths = [];
            var frame = function() {
                if (fill.width < fill.parent.width && widths.indexOf(Math.round(fill.width)) < 0)
                    widths.push(Math.round(fill.width));
            };
            app.frameSwapped.connect(frame);
            tryVerify(function() { return widths.length >= 10; }, 1000, "the bar jumped");
            app.frameSwapped.disconnect(frame);
            tryCompare(flow(), "state", "StepFour", 2000);
        }
        compare(count("uninstallUsb"), data.ends === "never" ? 0 : 1);
        compare(flow().state, data.ends === "never" ? "StepThree" : "StepFour");
        if (data.ends !== "never") {
            var heard = host.describe(screen());
            heard = heard.name + " " + heard.description;
            verify((data.fourth || /^Step 4: Unplug USB cable from Lumetra\. To finalize the/).test(heard), heard);
            keyClick(Qt.Key_Return);
            compare(flow().state, data.last || "Finish");
            // The version found before the drive went.
            verify(!data.last || /version 1\.73$/.test(onScreen("headerText").text), onScreen("headerText").text);
            return;
        }
        button = onScreen("nextButton");
        verify(!onScreen("popup").opened, "the popup is still open");
        compare(bar().value, 0);
        compare(button.buttonText, "Update");
        compare(button.enable, data.ready);
        compare(String(onScreen("icon").source), "qrc:/Assets/lumetra-" + (data.ready ? "" : "Not") + "Detected.jpg");
        // Why it failed, under the instructions and in what a reader hears with the focus back on Update.
        var line = onScreen("failureText");
        compare(line.visible, !!data.says);
        if (!data.says)
            return;
        compare(line.text.indexOf(strings().stepThree_IncompleteText) >= 0, data.says === "incomplete");
        verify(data.line.test(line.text), "not the line of its reason: " + line.text);
        verify(host.describe(screen()).description.indexOf(line.text) >= 0, "a reader is not told why");
        compare(app.activeFocusItem, button);
        compare(lastHeard().name, host.describe(button).name);
    }
}
