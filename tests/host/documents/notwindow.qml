import QtQuick 2.2

NoSuchType {
}
