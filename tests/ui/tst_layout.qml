import QtQuick 2.2
import QtTest 1.2

// Run at each font DPI of the table (96, 120, 144): QT_FONT_DPI.
UiTestCase {
    name: "Layout"

    function test_screen_data()
    {
        return [{ tag: "Home", state: "Home", buttons: ["Start"], next: "StepOne" },
                { tag: "Step 1", state: "StepOne", buttons: ["Next"], next: "StepTwo" },
                { tag: "Step 2", state: "StepTwo", buttons: ["Back", "Next"], next: "StepThree" },
                { tag: "Step 3", state: "StepThree", buttons: ["Back", "Update"], next: "StepThree" },
                { tag: "Step 4", state: "StepFour", buttons: ["Next"], next: "Finish" },
                { tag: "Finish", state: "Finish", buttons: ["Finish"], next: "quit" },
                { tag: "Up to date", state: "UpToDate", buttons: ["Finish"], next: "quit" }];
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

    function inside(inner, outer)
    {
        return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right
                && inner.bottom <= outer.bottom;
    }

    // Every text is whole within its row (a list's lines within the list) and the window,
    // clear of the pictures, and read out; every picture is described; the buttons are
    // named and a screen reader presses them.
    function test_screen(data)
    {
        compare(host.fontDpi, host.requestedDpi);
        flow().state = data.state;
        var window = box(app.contentItem, app.width, app.height);
        var pictures = items(screen(), function(item) { return item.sourceSize !== undefined; });
        pictures.forEach(function(picture) { verify(host.describe(picture).name !== "", picture.source); });
        items(screen(), function(item) { return item.font && item.paintedHeight !== undefined; })
                .forEach(function(text) {
            var shape = box(text, Math.max(text.width, text.paintedWidth),
                            Math.max(text.height, text.paintedHeight));
            var list = text.parent.parent.parent;
            var row = list.highlightFollowsCurrentItem !== undefined ? list : text.parent;
            verify(inside(shape, box(row, row.width, row.height)), text.text + " overruns its row");
            verify(inside(shape, window), text.text + " leaves the window");
            // A button lies over everything and carries its own name.
            if (text.parent.accessibleName !== undefined)
                return;
            compare(host.describe(text).name, text.text);
            pictures.forEach(function(picture) {
                var other = box(picture, picture.width, picture.height);
                verify(shape.bottom <= other.top + 1 || shape.top >= other.bottom - 1
                       || shape.right <= other.left + 1 || shape.left >= other.right - 1,
                       text.text + " lies under a picture");
            });
        });
        var buttons = items(app.contentItem, function(item) { return item.accessibleName !== undefined; });
        compare(buttons.map(function(button) { return host.describe(button).name; }), data.buttons);
        host.press(buttons[buttons.length - 1]);
        compare(host.quits ? "quit" : flow().state, data.next);
    }
}
