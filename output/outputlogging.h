#ifndef OUTPUTLOGGING_H
#define OUTPUTLOGGING_H

#include <QtCore/QLoggingCategory>

// The log's and the history's own complaints: "lumetra.output".
Q_DECLARE_LOGGING_CATEGORY(lcOutput)

#endif // OUTPUTLOGGING_H
