import QtQuick 2.15

// A screen's picture, as large as its row allows, and what it shows for a screen reader.
Rectangle {
    id: row

    property alias source: picture.source
    property string description: ""
    // How much of the picture's top is cut off; the rest stays where and as large as it was,
    // so that a line may take the place of the picture's white top margin.
    property real hiddenTop: 0

    width: parent.width
    color: "white"

    Image {
        id: picture
        objectName: "icon"

        width: parent.width
        height: parent.height
        anchors.left: parent.left
        anchors.verticalCenter: parent.verticalCenter
        fillMode: Image.PreserveAspectFit
        // Decoded at the size shown, not at the file's size.
        sourceSize.width: width
        sourceSize.height: height + hiddenTop
        sourceClipRect: hiddenTop > 0 ? Qt.rect(0, hiddenTop, width, height) : Qt.rect(0, 0, 0, 0)

        Accessible.role: Accessible.Graphic
        Accessible.name: row.description
    }
}
