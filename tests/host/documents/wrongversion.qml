import QtQuick 2.2
import QtQuick.Window 2.3
import LumetraInstaller 1.1

Window {
    visible: true
}
