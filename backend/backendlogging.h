#ifndef BACKENDLOGGING_H
#define BACKENDLOGGING_H

#include <QtCore/QLoggingCategory>

// The backend's diagnostics (discovery, versions, the lock, the removal): "lumetra.backend".
Q_DECLARE_LOGGING_CATEGORY(lcBackend)

#endif // BACKENDLOGGING_H
