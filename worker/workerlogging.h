#ifndef WORKERLOGGING_H
#define WORKERLOGGING_H

#include <QtCore/QLoggingCategory>

// The worker's diagnostics (the disk check, the writes on the unit, the run): "lumetra.worker".
Q_DECLARE_LOGGING_CATEGORY(lcWorker)

#endif // WORKERLOGGING_H
