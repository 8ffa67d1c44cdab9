import QtQuick 2.2
import QtQuick.Window 2.3
import LumetraInstaller 1.0

// Declares the backend, reports what it, the application and the translator give, fails an
// update, quits.
Window {
    visible: true
    width: 100
    height: 100

    LumetraInstaller { id: backend }

    Component.onCompleted: {
        console.log("version", backend.getLumetraUpdateVersion())
        console.log("arguments", JSON.stringify(Qt.application.arguments.slice(1)))
        console.log("translated", qsTranslate("TextStrings", "Step"))
        Qt.callLater(function() { backend.updateFailedBecause("probe failure"); backend.updateFirmwareFailed(); Qt.quit() })
    }
}
