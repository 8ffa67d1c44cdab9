import QtQuick 2.2
import QtQuick.Window 2.3

// A screen that fails to load later must not end the program; quitting still does.
Window {
    visible: true
    width: 100
    height: 100

    Loader {
        source: "qrc:/probe/notwindow.qml"
        onStatusChanged: if (status === Loader.Error) Qt.callLater(Qt.quit)
    }
}
