// The manual pages and --version of the two programs: kadomel-cli(1) describes every command, option
// and listed value that kadomel-cli --help names, and both programs print the version the package
// is built with.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

// What the program prints on a machine without a screen (no display, no Qt platform named).
QString output(const QString &program, const QStringList &arguments)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QLatin1String(name));
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000))
        p.kill();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0
               ? QString::fromUtf8(p.readAllStandardOutput())
               : QString();
}

// The page's text as man shows it: "\-" is a hyphen, font changes go.
QString manText(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    text.remove(QRegularExpression(QStringLiteral("\\\\f[BIRP]")));
    return text;
}

// The commands (a word at the start of a usage line), the options ("--kind") and the values listed
// with "|" ("customers|products", "utf-8|cp932") of the usage text.
QSet<QString> namesIn(const QString &usage)
{
    QSet<QString> names;
    const QList<QRegularExpression> patterns{
        QRegularExpression(QStringLiteral("^  ([a-z][a-z-]+)\\b"), QRegularExpression::MultilineOption),
        QRegularExpression(QStringLiteral("(--[a-z][a-z-]*)")),
        QRegularExpression(QStringLiteral("\\b([a-z][a-z0-9-]*)(?=\\|)")),
        QRegularExpression(QStringLiteral("(?<=\\|)([a-z][a-z0-9-]*)\\b")),
    };
    for (const QRegularExpression &pattern : patterns)
        for (const QRegularExpressionMatch &match : pattern.globalMatch(usage))
            names.insert(match.captured(1));
    return names;
}

} // namespace

class TestManPages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cliPageDescribesEverythingOfItsHelp()
    {
        const QString usage = output(QStringLiteral(KADOMEL_CLI), {QStringLiteral("--help")});
        const QSet<QString> names = namesIn(usage);
        for (const char *expected : {"render", "invoice-run", "import-postal", "backup", "restore", "export",
                                     "import", "receivables", "--kind", "--home", "--version", "cp932"})
            QVERIFY2(names.contains(QLatin1String(expected)), expected);
        const QString page = manText(QStringLiteral(KADOMEL_MAN_DIR "/kadomel-cli.1"));
        QVERIFY(!page.isEmpty());
        QStringList missing;
        for (const QString &name : names)
            if (!page.contains(QRegularExpression(
                    QStringLiteral("(?<![\\w-])%1(?![\\w-])").arg(QRegularExpression::escape(name)))))
                missing.append(name);
        missing.sort();
        QVERIFY2(missing.isEmpty(),
                 qPrintable(QStringLiteral("not in kadomel-cli(1): ") + missing.join(u' ')));
    }

    void programsPrintThePackageVersion_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("name");
        QTest::newRow("kadomel") << QStringLiteral(KADOMEL_APP) << QStringLiteral("kadomel");
        QTest::newRow("kadomel-cli") << QStringLiteral(KADOMEL_CLI) << QStringLiteral("kadomel-cli");
    }

    // Without a screen too: kadomel answers before its windows start.
    void programsPrintThePackageVersion()
    {
        QFETCH(QString, program);
        QFETCH(QString, name);
        const QString printed = output(program, {QStringLiteral("--version")});
        QCOMPARE(printed, name + QStringLiteral(" " KADOMEL_PACKAGE_VERSION "\n"));
        const QString page = manText(QStringLiteral(KADOMEL_MAN_DIR "/") + name + QStringLiteral(".1"));
        QVERIFY(page.contains(QStringLiteral("--version")));
        QVERIFY(page.contains(QStringLiteral("\"Kadomel " KADOMEL_PACKAGE_VERSION "\"")));
    }
};

QTEST_GUILESS_MAIN(TestManPages)
#include "tst_manpages.moc"
