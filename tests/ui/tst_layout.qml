import QtQuick 2.2
import QtTest 1.2
import LumetraInstaller 1.0

// Run at each font DPI of the table (96, 120, 144: QT_FONT_DPI) in each language (LUMETRA_UI_LANGUAGE).
UiTestCase {
    name: "Layout"

    // A screen by its state, or in a state tag names: the update running (update), the window's word of the unit
    // (window: its properties).
    function test_screen_data()
    {
        var upToDate = "1.73";
        return [{ tag: "Home", buttons: ["Start"], next: "StepOne" },
                { tag: "StepOne", buttons: ["Next"], next: "StepTwo" },
                { tag: "StepTwo", buttons: ["Back", "Next"], next: "StepThree" },
                { tag: "StepThree", buttons: ["Back", "Update"], next: "StepThree" },
                { tag: "StepThree, updating", update: true, buttons: ["Back", "Updating"], next: "StepThree" },
                { tag: "StepThree, after each failure", buttons: ["Back", "Update"], next: "StepThree",
                  failures: [["FullDrive", true], ["ReadOnly", true], ["DriveGone", true], ["WriteFailed", true],
                             ["VerificationFailed", true], ["FirmwareDamaged"], ["VersionFileNotWritten"], ["Busy"],
                             ["Interrupted"]] },
                { tag: "StepFour", buttons: ["Next"], next: "Finish" },
                { tag: "StepFour, unit up to date", window: { upToDateVersion: upToDate }, buttons: ["Next"],
                  next: "UpToDate" },
                { tag: "StepFour, removal refused", window: { removalCode: -1 }, buttons: ["Next"], next: "Finish" },
                { tag: "StepFour, up to date, removal refused", window: { removalCode: 2, upToDateVersion: upToDate },
                  buttons: ["Next"], next: "UpToDate" },
                { tag: "Finish", buttons: ["Finish"], next: "quit" },
                { tag: "UpToDate", window: { upToDateVersion: upToDate }, buttons: ["Finish"], next: "quit" }];
    }

    // The visible items below root for which test() holds, in the order of the item tree.
    function items(root, test, found)
    {
        found = found || [];
        if (root.visible && test(root))
            found.push(root);
        for (var i = 0; root.visible && i < root.children.length; ++i)
            items(root.children[i], test, found);
        return found;
    }

    function box(item, width, height)
    {
        var at = item.mapToItem(null, 0, 0);
        return { left: at.x - 0.5, top: at.y - 0.5, right: at.x + width + 0.5, bottom: at.y + height + 0.5 };
    }

    // Every text whole within its row (a list's lines within the list), clear of the pictures and read out;
    // every picture described.
    function checkTexts()
    {
        var pictures = items(screen(), function(item) { return item.sourceSize !== undefined; });
        pictures.forEach(function(picture) {
            verify(host.describe(picture).name !== "", picture.source + " is not described");
        });
        var texts = items(screen(), function(item) { return item.font && item.paintedHeight !== undefined; });
        texts.forEach(function(text) {
            var a = box(text, Math.max(text.width, text.paintedWidth), Math.max(text.height, text.paintedHeight));
            var list = text.parent.parent.parent;
            var row = list.highlightFollowsCurrentItem !== undefined ? list : text.parent;
            var b = box(row, row.width, row.height);
            verify(a.left >= b.left && a.top >= b.top && a.right <= b.right && a.bottom <= b.bottom,
                   text.text + " overruns its row");
            // A button lies over everything and carries its own name.
            if (text.parent.buttonText !== undefined)
                return;
            compare(host.describe(text).name, text.text);
            pictures.forEach(function(picture) {
                var p = box(picture, picture.width, picture.height);
                verify(a.bottom <= p.top + 1 || a.top >= p.bottom - 1 || a.right <= p.left + 1 || a.left >= p.right - 1,
                       text.text + " lies under a picture");
            });
        });
    }

    // After each failure (a reason, the firmware left incomplete) a line of its own keeps to its place; buttons named,
    // pressed by a reader.
    function test_screen(data)
    {
        for (var name in data.window)
            app[name] = data.window[name];
        flow().state = data.tag.split(",")[0];
        if (data.update)
            host.press(onScreen("nextButton"));
        var said = [];
        (data.failures || [[]]).forEach(function(failure) {
            Script.answer.busy = failure[0] === "Busy";
            if (failure[0])
                host.press(onScreen("nextButton"));
            if (failure[0] && failure[0] !== "Busy") {
                Script.newest.updateFailedBecause(UpdateFailure[failure[0]], !!failure[1]);
                Script.newest.updateFirmwareFailed();
            }
            var line = failure[0] ? onScreen("failureText").text : "";
            verify(!failure[0] || (line !== "" && said.indexOf(line) < 0), failure[0] + " has no line of its own");
            said.push(line);
            checkTexts();
        });
        var buttons = items(app.contentItem, function(item) { return item.buttonText !== undefined; });
        var names = buttons.map(function(button) { return host.describe(button).name; });
        if (host.language === "en")
            compare(names, data.buttons);
        compare(names.filter(function(name) { return name !== ""; }).length, data.buttons.length);
        host.press(buttons[buttons.length - 1]);
        compare(host.quits ? "quit" : flow().state, data.next);
    }
}
