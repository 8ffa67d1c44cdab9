#include "fakelumetrainstaller.h"

#include <QtCore/QObject>
#include <QtQml/QQmlEngine>
#include <QtQuickTest/quicktest.h>

// The UI documents from the resource bundle, driven against a scripted backend.
class Setup : public QObject
{
    Q_OBJECT

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        installFakeBackend(engine);
    }
};

QUICK_TEST_MAIN_WITH_SETUP(ui, Setup)

#include "tst_ui.moc"
