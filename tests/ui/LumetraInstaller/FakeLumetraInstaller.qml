import QtQuick 2.2

// Stands in for the backend under the UI's own type name; answers from Script.
QtObject {
    readonly property var answer: Script.answer

    signal copyFileProgress(real value)
    signal updateFirmwareSuccess()
    signal updateFirmwareFailed()

    function log(call, result) { Script.calls.push(call); return result; }
    function getLumetraUpdateVersion() { return "1.73"; }
    function getCurrentVersionNumber() { return log("getCurrentVersionNumber", "1.73"); }
    function isLumetraConnected() { return log("isLumetraConnected", answer.connected); }
    function doesLumetraNeedUpdate() { return log("doesLumetraNeedUpdate", answer.needsUpdate); }
    function updateLumetra() { return log("updateLumetra", answer.connected && !answer.refuses); }
    function uninstallUsb() { return log("uninstallUsb", answer.connected); }

    Component.onCompleted: Script.newest = this
}
