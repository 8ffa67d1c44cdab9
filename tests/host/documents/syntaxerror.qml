import QtQuick 2.2
import QtQuick.Window 2.3

Window {
    visible: true
    width: 100
