import QtQuick 2.2

// Stands in for the backend under the UI's own type name; answers from Script.
QtObject {
    readonly property var answer: Script.answer

    signal copyFileProgress(real value)
    signal updateFailedBecause(string reason, bool firmwareIncomplete)
    signal updateFirmwareSuccess()
    signal updateFirmwareFailed()

    function log(call, result) { Script.calls.push(call); return result; }
    function getLumetraUpdateVersion() { return "1.73"; }
    function getCurrentVersionNumber() { return log("getCurrentVersionNumber", "1.73"); }
    function isLumetraConnected() { return log("isLumetraConnected", answer.connected); }
    function doesLumetraNeedUpdate() { return log("doesLumetraNeedUpdate", answer.needsUpdate); }
    function uninstallUsb() { return log("uninstallUsb", answer.connected); }
    function updateLumetra()
    {
        if (answer.busy) // another LumetraInstaller at work on the unit says so at once
            updateFailedBecause("busy", false);
        return log("updateLumetra", answer.connected && !answer.refuses && !answer.busy);
    }

    Component.onCompleted: Script.newest = this
}
