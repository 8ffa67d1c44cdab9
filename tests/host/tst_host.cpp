#include "translation.h"

#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtCore/QTemporaryDir>
#include <QtCore/QXmlStreamReader>
#include <QtGui/QRawFont>
#include <QtTest/QtTest>

// The real host code (a probe with a main document of the test's own) or the program: how it ends, what it
// says. The exit status is what a script or installer sees; -1 from main reaches it as 255.
class TestHost : public QObject
{
    Q_OBJECT

private slots:
    void run_data()
    {
        QTest::addColumn<QByteArray>("document"); // null: the program itself
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("languages"); // LANGUAGE, then LANG, as a Linux system states them
        QTest::addColumn<QStringList>("settings"); // further environment, NAME=value; NAME= unsets it
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("hidden"); // a pattern the output must not hold
        const QByteArray window = "import QtQml 2.12\nimport QtQuick 2.2\nimport QtQuick.Window 2.3\n"
                                  "import LumetraInstaller 1.0\nWindow { id: window; visible: true; width: 100; height: 100\n";
        // Says what it sees as warnings (the terminal shows those), and makes the backend's debug lines and a
        // per-block progress line, as an update does; then an update with no unit there, which fails at once.
        const QByteArray quits = window + "LumetraInstaller { id: backend }\nLoggingCategory { id: progress; "
                "name: 'lumetra.progress' }\nComponent.onCompleted: { "
                "console.warn('version', backend.getLumetraUpdateVersion()); backend.doesLumetraNeedUpdate(); "
                "console.debug(progress, 'copy file progress 0.5'); "
                "console.warn('arguments', JSON.stringify(Qt.application.arguments.slice(2))); "
                "console.warn('translated', qsTranslate('TextStrings', 'Step')); Qt.callLater(function() { "
                "if (!backend.isLumetraConnected()) backend.updateLumetra(); Qt.quit() }) } }";
        const QStringList args = { "--not-ours", "two words" };
        const auto row = [&args](const char *name, const QByteArray &document, int status, const QString &output,
                                 const QString &languages = ":C", const QStringList &arguments = {},
                                 const QStringList &settings = {}, const QString &hidden = QString()) {
            QTest::newRow(name) << document << (arguments.isEmpty() ? args : arguments) << languages << settings
                                << status << output << hidden;
        };
        row("the UI quits, with the backend declared and every argument passed on", quits, 0,
            "version 1.73\nqml: arguments [\"--not-ours\",\"two words\"]");
        row("the window's failed update is in the history", quits, 0, "\"outcome\":\"failed\",\"reason\":\"drive gone\"");
        row("the last window is closed", window + "Timer { interval: 50; running: true; "
            "onTriggered: window.close() }}", 0, "");
        row("syntax error in the main document", window, 255, "");
        row("--log-dir names the per-user folder", QByteArray(), 0, "/data/LumetraInstaller\n", ":C", { "--log-dir" });
        row("the system's language", quits, 0, "translated Schritt", ":de_DE.UTF-8");
        row("a system language we have no texts for", quits, 0, "translated Step", ":sv_SE");
        row("the first of LANGUAGE we have, before the system's", quits, 0, "translated Paso", "sv:es_MX:de:de_DE");
        row("Portugal's Portuguese reads Brazil's", quits, 0, "translated Etapa", ":pt_PT.UTF-8");
        row("traditional Chinese reads English, not simplified", quits, 0, "translated Step", ":zh_TW.UTF-8");
        row("Chinese without a region is simplified", quits, 0, "translated \u6b65\u9aa4", "zh:de_DE");
        row("--lang before all", quits, 0, "translated \u00c9tape", "it:de_DE", { "--lang", "fr" });
        row("--lang en", quits, 0, "translated Step", ":de_DE", { "--lang", "en" });
        // The terminal: warnings; the debug and progress lines go to the log, unless QT_LOGGING_RULES names them.
        row("the terminal shows warnings, not the debug and progress lines", quits, 0, "qml: version 1.73", ":C", {},
            {}, "getCurrentVersionNumber|copy file progress");
        row("QT_LOGGING_RULES naming a category shows its lines", quits, 0, "lumetra.progress: copy file progress 0.5",
            ":C", {}, { "QT_LOGGING_RULES=lumetra.progress.debug=true" }, "getCurrentVersionNumber");
        row("no display: one line naming what works without one, no abort", QByteArray(), 3, "LumetraInstaller: "
            "no display to open the window on (DISPLAY is not set); --list and --update work without one, --help "
            "lists every option.\n", ":C", { "-platform", "xcb" }, { "DISPLAY=", "WAYLAND_DISPLAY=" }, "plugin");
        row("offscreen with no backend chosen: drawn in software, no abort for want of OpenGL", quits, 0,
            "qml: version 1.73", ":C", {}, { "QT_QPA_PLATFORM=offscreen", "QT_QUICK_BACKEND=" });
    }

    void run()
    {
        QFETCH(QByteArray, document);
        QFETCH(QStringList, arguments);
        QFETCH(QString, languages);
        QFETCH(QStringList, settings);
        QFETCH(int, status);
        QFETCH(QString, output);
        QFETCH(QString, hidden);
        QTemporaryDir directory;
        QFile main(directory.filePath(QStringLiteral("main.qml")));
        QVERIFY(document.isEmpty() || (main.open(QIODevice::WriteOnly) && main.write(document) == document.size()));
        main.close();
        QFile history(qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/hostprobe/history.jsonl"));
        history.remove();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *overriding : { "LC_ALL", "LC_MESSAGES", "QT_LOGGING_RULES" })
            environment.remove(QLatin1String(overriding));
        environment.insert(QStringLiteral("LANGUAGE"), languages.section(QLatin1Char(':'), 0, -2));
        environment.insert(QStringLiteral("LANG"), languages.section(QLatin1Char(':'), -1));
        for (const QString &setting : settings) {
            const QString name = setting.section(QLatin1Char('='), 0, 0), value = setting.section(QLatin1Char('='), 1);
            value.isEmpty() ? environment.remove(name) : environment.insert(name, value);
        }
        QProcess probe;
        probe.setProcessEnvironment(environment);
        probe.setProcessChannelMode(QProcess::MergedChannels);
        probe.start(document.isNull() ? QStringLiteral(LUMETRAINSTALLER) : QStringLiteral(HOSTPROBE), document.isNull()
                    ? arguments : QStringList { QUrl::fromLocalFile(main.fileName()).toString() } + arguments);
        QVERIFY2(probe.waitForFinished(30000), "the host did not end by itself");
        const QByteArray recorded = history.open(QIODevice::ReadOnly) ? history.readAll() : QByteArray();
        const QString printed = QString::fromUtf8(probe.readAll() + recorded);
        QVERIFY2(probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == status && printed.contains(output)
                 && (hidden.isEmpty() || !printed.contains(QRegularExpression(hidden))), qPrintable(printed));
    }

    // Each translation keeps its placeholders (or a version, a page, a step is lost, or "%2" shown; empty: not yet
    // translated), each character in a bundled font of its language in both weights, or the system's at best.
    void translations()
    {
        const auto placeholders = [](const QString &text) {
            QStringList found;
            for (auto match = QRegularExpression(QStringLiteral("%\\d+")).globalMatch(text); match.hasNext();)
                found.append(match.next().captured());
            found.sort();
            return found;
        };
        const QDir translations(QStringLiteral(TRANSLATIONS_DIR));
        const QStringList files = translations.entryList({ QStringLiteral("*.ts") });
        QCOMPARE(files.size(), availableLanguages().size() - 1); // one left out of the bundle: no one can choose it
        for (const QString &name : files) {
            QList<QRawFont> fonts { QRawFont(QStringLiteral(":/Fonts/Roboto-Regular.ttf"), 16),
                                    QRawFont(QStringLiteral(":/Fonts/Roboto-Bold.ttf"), 16) };
            for (const QString &path : languageFonts(name.section(QLatin1Char('_'), 1).chopped(3)))
                fonts.append(QRawFont(path, 16));
            const auto drawn = [&fonts](QChar character, bool bold) {
                return std::any_of(fonts.cbegin(), fonts.cend(), [&](const QRawFont &font) {
                    return (font.weight() >= QFont::Bold) == bold && font.supportsCharacter(character); });
            };
            QFile file(translations.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QXmlStreamReader ts(&file);
            QString source;
            while (!ts.atEnd()) {
                if (ts.readNext() != QXmlStreamReader::StartElement)
                    continue;
                if (ts.name() == QLatin1String("source"))
                    source = ts.readElementText();
                if (ts.name() != QLatin1String("translation"))
                    continue;
                const QString text = ts.readElementText();
                QVERIFY2(text.isEmpty() || placeholders(text) == placeholders(source),
                         qPrintable(QStringLiteral("%1: %2 for %3").arg(name, text, source)));
                for (const QChar character : text.trimmed())
                    QVERIFY2(drawn(character, false) && drawn(character, true), qPrintable(QStringLiteral(
                             "%1: no bundled font draws U+%2 in both weights: %3").arg(name)
                             .arg(character.unicode(), 4, 16, QLatin1Char('0')).arg(text)));
            }
            QVERIFY(!ts.hasError());
        }
    }
};

QTEST_MAIN(TestHost)
#include "tst_host.moc"
