#include "display.h"

#include <QtCore/QByteArray>
#include <QtCore/QFileInfo>
#include <QtCore/QStringList>

#include <cstring>

QString missingDisplay(int argc, char **argv)
{
    // The platforms Qt will try, in order: -platform, else QT_QPA_PLATFORM, else its default.
    QByteArray platforms = qgetenv("QT_QPA_PLATFORM");
    bool displayGiven = false;
    for (int i = 1; i + 1 < argc; ++i) {
        const char *option = argv[i] + (std::strncmp(argv[i], "--", 2) == 0 ? 1 : 0);
        if (std::strcmp(option, "-platform") == 0)
            platforms = argv[i + 1];
        displayGiven = displayGiven || std::strcmp(option, "-display") == 0;
    }
    if (platforms.isEmpty())
        platforms = "xcb";
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    QStringList missing;
    for (const QByteArray &platform : platforms.split(';')) {
        const QByteArray name = platform.split(':').first(); // "xcb:option": its name
        if (name == "xcb" && qEnvironmentVariableIsEmpty("DISPLAY") && !displayGiven)
            missing.append(QStringLiteral("DISPLAY is not set"));
        // A Wayland client without WAYLAND_DISPLAY looks for the compositor's default socket.
        else if (name.startsWith("wayland") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
                 && (runtime.isEmpty() || !QFileInfo::exists(runtime + QStringLiteral("/wayland-0"))))
            missing.append(QStringLiteral("WAYLAND_DISPLAY is not set"));
        else
            return QString();
    }
    return missing.join(QStringLiteral(", "));
}
