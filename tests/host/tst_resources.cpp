#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QXmlStreamReader>
#include <QtGui/QFontDatabase>
#include <QtGui/QGuiApplication>
#include <QtGui/QImageReader>
#include <QtGui/QRawFont>
#include <QtTest/QtTest>

// The bundle is what the tool carries: every path the UI and the backend name must
// resolve exactly as spelt, or a screen shows nothing and an update copies nothing.
class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void fonts_data();
    void fonts();
    void pictures_data();
    void pictures();
    void uiDocuments_data();
    void uiDocuments();
    void firmware();
    void letterCaseMatters();
};

void TestResources::fonts_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("family");

    QTest::newRow("Roboto Regular") << ":/Fonts/Roboto-Regular.ttf" << "Roboto";
    QTest::newRow("Roboto Bold") << ":/Fonts/Roboto-Bold.ttf" << "Roboto";
    QTest::newRow("Material Icons") << ":/Fonts/MaterialIcons-Regular.ttf" << "Material Icons";
    QTest::newRow("the maker's icon font") << ":/Fonts/zentorlab-font.ttf" << "zentorlab-font";
}

void TestResources::fonts()
{
    QFETCH(QString, path);
    QFETCH(QString, family);
    const int id = QFontDatabase::addApplicationFont(path);
    QVERIFY2(id >= 0, qPrintable(path));
    QVERIFY(QFontDatabase::applicationFontFamilies(id).contains(family));

    // Roboto draws every text in every language: a glyph missing here comes from another font.
    const QDir translations(QStringLiteral(TRANSLATIONS_DIR));
    const QStringList files = translations.entryList({ QStringLiteral("*.ts") });
    QCOMPARE(files.size(), 4);
    const QRawFont font(path, 16);
    for (const QString &name : family == QLatin1String("Roboto") ? files : QStringList()) {
        QFile file(translations.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader ts(&file);
        while (ts.readNext() != QXmlStreamReader::Invalid && !ts.atEnd()) {
            const QString text = ts.isCharacters() ? ts.text().toString().trimmed() : QString();
            for (const QChar character : text)
                QVERIFY2(font.supportsCharacter(character),
                         qPrintable(QStringLiteral("%1 has no U+%2 for %3: %4").arg(path)
                                    .arg(character.unicode(), 4, 16, QLatin1Char('0')).arg(name, text)));
        }
        QVERIFY2(!ts.hasError(), qPrintable(name + QStringLiteral(": ") + ts.errorString()));
    }
}

void TestResources::pictures_data()
{
    QTest::addColumn<QString>("path");
    // Twice the largest box a screen shows the picture in: anything bigger costs start-up
    // time and memory and shows nothing more.
    QTest::addColumn<QSize>("limit");

    QTest::newRow("connect USB") << ":/Assets/lumetra-ConnectUSB.jpg" << QSize(1360, 864);
    QTest::newRow("disconnect") << ":/Assets/Lumetra-Disconnect.jpg" << QSize(1360, 720);
    QTest::newRow("detected") << ":/Assets/lumetra-Detected.jpg" << QSize(1240, 720);
    QTest::newRow("not detected") << ":/Assets/lumetra-NotDetected.jpg" << QSize(1240, 720);
    QTest::newRow("unplug USB") << ":/Assets/lumetra-UnplugUSB.jpg" << QSize(1360, 720);
    QTest::newRow("update finished") << ":/Assets/lumetra-FinishUpdate.jpg" << QSize(1240, 720);
    QTest::newRow("the maker's logo") << ":/Assets/ZentorlabLogo.png" << QSize(330, 116);
}

void TestResources::pictures()
{
    QFETCH(QString, path);
    QFETCH(QSize, limit);
    QImageReader reader(path);
    QVERIFY2(reader.canRead(), qPrintable(path + QStringLiteral(": ") + reader.errorString()));
    const QSize size = reader.size();
    QVERIFY2(size.width() <= limit.width() && size.height() <= limit.height(),
             qPrintable(QStringLiteral("%1 is %2 x %3").arg(path).arg(size.width()).arg(size.height())));
    // Large enough to stay sharp at twice the scale in at least one direction.
    QVERIFY(size.width() * 10 >= limit.width() * 9 || size.height() * 10 >= limit.height() * 9);
}

void TestResources::uiDocuments_data()
{
    QTest::addColumn<QString>("path");

    // The host loads the first, the main window the screens by these URLs, and the
    // screens reach the controls by relative imports: each must stand at its path.
    for (const char *path : { "/main.qml", "/Constants/TextStrings.qml", "/CustomQML/Button.qml",
                              "/CustomQML/GreenButton.qml", "/CustomQML/GreyButton.qml",
                              "/CustomQML/WorkProgressBar.qml", "/MainScreens/HomeScreen/HomeScreen.qml",
                              "/MainScreens/UpToDate/UpToDateScreen.qml", "/MainScreens/StepOne/StepOne.qml",
                              "/MainScreens/StepTwo/StepTwo.qml", "/MainScreens/StepThree/StepThree.qml",
                              "/MainScreens/StepFour/StepFour.qml", "/MainScreens/Finish/Finish.qml" })
        QTest::newRow(path) << QString::fromLatin1(path);
}

void TestResources::uiDocuments()
{
    QFETCH(QString, path);
    QVERIFY2(QFile::exists(QLatin1Char(':') + path), qPrintable(path));
}

void TestResources::firmware()
{
    QFile firmware(QStringLiteral(":/UpdatedFirmware/lumetra.bin"));
    QVERIFY(firmware.open(QIODevice::ReadOnly));
    QCOMPARE(firmware.size(), qint64(411240));
    QFile source(QStringLiteral(FIRMWARE_SOURCE));
    QVERIFY(source.open(QIODevice::ReadOnly));
    QVERIFY(firmware.readAll() == source.readAll());
}

void TestResources::letterCaseMatters()
{
    QVERIFY(QFile::exists(QStringLiteral(":/Assets/Lumetra-Disconnect.jpg")));
    QVERIFY(!QFile::exists(QStringLiteral(":/Assets/lumetra-Disconnect.jpg")));
    QVERIFY(!QFile::exists(QStringLiteral(":/assets/Lumetra-Disconnect.jpg")));
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
