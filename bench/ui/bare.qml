import QtQuick 2.2
import QtQuick.Window 2.3
import QtQuick.Controls 1.4 as Controls1
import QtQuick.Controls 2.1 as Controls2
import LumetraInstaller 1.0

// The yardstick: an empty window of the tool's size that pulls in the same modules.
Window {
    visible: true
    width: 800
    height: 600
    title: "bare"
}
