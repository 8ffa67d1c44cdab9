#include <QtTest/QtTest>
class TestDiscovery : public QObject { Q_OBJECT private slots: void nothing() { } };
QTEST_GUILESS_MAIN(TestDiscovery)
#include "tst_discovery.moc"
