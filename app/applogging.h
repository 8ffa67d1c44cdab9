#ifndef APPLOGGING_H
#define APPLOGGING_H

#include <QtCore/QLoggingCategory>

// The window host's diagnostics: "lumetra.app".
Q_DECLARE_LOGGING_CATEGORY(lcApp)

#endif // APPLOGGING_H
