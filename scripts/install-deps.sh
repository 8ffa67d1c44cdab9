#!/bin/sh
# Installs the Debian 12 packages that building, running and testing need, and only
# those that are missing, so a second run costs nothing.
set -eu

packages="
cmake g++ make pkg-config
qtbase5-dev qtbase5-dev-tools qtdeclarative5-dev qtdeclarative5-dev-tools qtquickcontrols2-5-dev
qttools5-dev qttools5-dev-tools
qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qtquick-controls
qml-module-qtquick-controls2 qml-module-qtquick-templates2 qml-module-qttest
xvfb xauth imagemagick xdotool x11-utils
util-linux mount procps e2fsprogs dosfstools fusefat fuse3 strace
dbus udev udisks2
mingw-w64 g++-mingw-w64-x86-64-posix wine64
python3 python3-fonttools librsvg2-bin
fonts-roboto-unhinted fonts-material-design-icons-iconfont fonts-noto-cjk
fakeroot dpkg-dev file desktop-file-utils binutils
"

missing=""
for package in $packages; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done

[ -z "$missing" ] && exit 0

if [ "$(id -u)" = 0 ]; then
    sudo=""
else
    sudo="sudo"
fi
echo "Installing:$missing"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
