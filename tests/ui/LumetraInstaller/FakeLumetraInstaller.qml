import QtQuick 2.2
import LumetraInstaller 1.0

// Stands in for the backend under the UI's own type name; answers from Script.
QtObject {
    readonly property var answer: Script.answer

    signal copyFileProgress(real value)
    signal updateFailedBecause(int reason, bool firmwareIncomplete)
    signal updateFirmwareSuccess()
    signal updateFirmwareFailed()
    signal foundUpToDate(string deviceVersion)
    signal removalFinished(int code)

    function log(call, result) { Script.calls.push(call); return result; }
    function getLumetraUpdateVersion() { return "1.73"; }
    // A removed drive is gone: the version can no longer be read from it.
    function getCurrentVersionNumber()
    {
        return log("getCurrentVersionNumber", !answer.connected ? "1.0" : answer.needsUpdate ? "1.8" : "1.73");
    }
    function isLumetraConnected() { return log("isLumetraConnected", answer.connected); }
    function doesLumetraNeedUpdate() { return log("doesLumetraNeedUpdate", answer.needsUpdate); }
    function uninstallUsb()
    {
        var code = answer.connected ? answer.removal : -1;
        answer.connected = answer.connected && code !== 0;
        removalFinished(code);
        return log("uninstallUsb", code === 0);
    }
    function updateLumetra()
    {
        if (answer.busy) // another LumetraInstaller at work on the unit says so at once
            updateFailedBecause(UpdateFailure.Busy, false);
        return log("updateLumetra", answer.connected && !answer.refuses && !answer.busy);
    }

    Component.onCompleted: Script.newest = this
}
