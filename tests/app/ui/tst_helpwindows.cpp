// The help menu's windows: the readme viewer, the about box and the help command, opened from the
// main window's menu.
#include "app/ui/TFmain.h"
#include "app/ui/TFreadMe.h"
#include "app/ui/TFversion.h"
#include "controls/HelpCommand.h"
#include "controls/Messages.h"
#include "data/ui/TFsql.h"
#include "ModalHelper.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

// Takes the addresses that the windows ask the desktop to open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }
};

class TestHelpWindows : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    UrlCatcher m_urls;

    QString readmePath() const { return m_home.filePath(QStringLiteral("readme.txt")); }
    void writeReadme(const QByteArray &bytes)
    {
        QFile f(readmePath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("KADOMEL_HOME", m_home.path().toUtf8());
        Messages::setTestMode(true);
        for (const char *scheme : {"https", "mailto", "file"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), &m_urls, "open");
    }
    void cleanupTestCase()
    {
        for (const char *scheme : {"https", "mailto", "file"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }
    void init()
    {
        Messages::takeHistory();
        m_urls.opened.clear();
        QFile::remove(readmePath());
        QDir(m_home.filePath(QStringLiteral("docs"))).removeRecursively();
    }

    // The text unchanged, read-only, both scroll bars; read again at every opening.
    void readmeShowsTheFileAsItIs()
    {
        const QString text = QStringLiteral("Kadomel お読みください\n\n  字下げした行\tタブ\n最後の行");
        writeReadme(text.toUtf8());
        {
            TFreadMe w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QCOMPARE(w.windowTitle(), QStringLiteral("お読みください"));
            QCOMPARE(w.RichEdit1->toPlainText(), text);
            QVERIFY(w.RichEdit1->isReadOnly());
            QCOMPARE(w.RichEdit1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
            QCOMPARE(w.RichEdit1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
            QTest::mouseClick(w.BitBtn2, Qt::LeftButton);
            QVERIFY(!w.isVisible());
        }
        writeReadme("changed");
        TFreadMe again;
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QCOMPARE(again.RichEdit1->toPlainText(), QStringLiteral("changed"));
        QVERIFY(Messages::takeHistory().isEmpty());
    }

    // The viewer is a base window: its size and place come back at the next opening.
    void readmeViewerKeepsItsPlacement()
    {
        writeReadme("x");
        const QRect placed(40, 50, 500, 360);
        {
            TFreadMe w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.setGeometry(placed);
            QTRY_COMPARE(w.geometry().size(), placed.size());
            w.close();
        }
        TFreadMe again;
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QCOMPARE(again.geometry().size(), placed.size());
    }

    void missingReadmeIsReportedAndTheViewerStays()
    {
        TFreadMe w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QCOMPARE(said.first().kind, Messages::Kind::Error);
        QVERIFY(said.first().text.contains(readmePath()));
        QVERIFY(w.isVisible());
        QVERIFY(w.RichEdit1->toPlainText().isEmpty());
    }

    void readmePrintsAsItsDocument()
    {
        writeReadme(QStringLiteral("印刷する行\n二行目").toUtf8());
        TFreadMe w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_home.filePath(QStringLiteral("readme.pdf")));
        w.printTo(printer);
        QCOMPARE(printer.docName(), QStringLiteral("お読みください"));
        QVERIFY(QFileInfo(printer.outputFileName()).size() > 0);
    }

    void aboutBoxShowsVersionAndLinks()
    {
        TFversion box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(box.windowTitle(), QStringLiteral("バージョン情報"));
        QCOMPARE(box.ProductName->text(), QStringLiteral("Kadomel"));
        QCOMPARE(box.Version->text(), QStringLiteral("Version 1.03"));
        QCOMPARE(box.Licence->text(),
                 QStringLiteral("Copyright (c) 2026 The Kadomel developers\nMIT License で配布しています"));
        QCOMPARE(box.Label3->text(), QStringLiteral("https://kadomel.example/"));
        QCOMPARE(box.Label6->text(), QStringLiteral("support@kadomel.example"));
        // Centred on its screen.
        const QPoint centre = box.screen()->availableGeometry().center();
        QVERIFY((box.frameGeometry().center() - centre).manhattanLength() <= 2);

        QTest::mouseClick(box.Label3, Qt::LeftButton);
        QTest::mouseClick(box.Label6, Qt::LeftButton);
        QCOMPARE(m_urls.opened, (QList<QUrl>{QUrl(QStringLiteral("https://kadomel.example/")),
                                             QUrl(QStringLiteral("mailto:support@kadomel.example"))}));

        // Enter moves the focus as everywhere else; OK closes with OK.
        box.OKButton->setFocus();
        QTest::keyClick(&box, Qt::Key_Return);
        QVERIFY(box.isVisible());
        QTest::mouseClick(box.OKButton, Qt::LeftButton);
        QCOMPARE(box.result(), int(QDialog::Accepted));
    }

    QString installManual()
    {
        const QString manual = m_home.filePath(QStringLiteral("docs/manual/index.html"));
        QDir().mkpath(QFileInfo(manual).path());
        QFile f(manual);
        f.open(QIODevice::WriteOnly);
        return manual;
    }

    // A shell line standing in for xdg-open; the manual's path is its $1.
    static QStringList shell(const QString &line)
    {
        return {QStringLiteral("sh"), QStringLiteral("-c"), line, QStringLiteral("sh")};
    }

    // Runs the help command with `opener` in place of xdg-open and waits until the opener has ended.
    void runHelp(const QStringList &opener)
    {
        HelpCommand::setOpenCommand(opener);
        HelpCommand::showHelp(nullptr);
        QTRY_VERIFY(!qApp->findChild<QProcess *>(QStringLiteral("HelpOpener")));
    }

    void helpSaysWhenNoManualIsInstalled()
    {
        runHelp(shell(QStringLiteral("exit 0")));
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QCOMPARE(said.first().kind, Messages::Kind::Information);
        QCOMPARE(said.first().text, QString::fromUtf8(HelpCommand::kNoManualMessage));
    }

    // The manual's path goes to the opener; only a failed opener (xdg-open without a browser ends
    // with status 3 or 4, or is missing itself) makes the command say where the manual lies and
    // offer to copy that place.
    void helpOpensTheManualOrNamesItsPlace_data()
    {
        QTest::addColumn<QStringList>("opener");
        QTest::addColumn<bool>("offered");
        QTest::addColumn<bool>("answer"); // to the offer to copy
        QTest::addRow("browser shows it") << shell(R"(test -f "$1" && touch "$1.shown")") << false << false;
        QTest::addRow("no browser, place copied") << shell("exit 3") << true << true;
        QTest::addRow("browser failed, not copied") << shell("exit 4") << true << false;
        QTest::addRow("opener killed") << shell("kill -9 $$") << true << true;
        QTest::addRow("no opener installed") << QStringList{"/nonexistent/xdg-open"} << true << true;
    }
    void helpOpensTheManualOrNamesItsPlace()
    {
        QFETCH(QStringList, opener);
        QFETCH(bool, offered);
        QFETCH(bool, answer);
        const QString manual = installManual();
        const QString place = QDir::toNativeSeparators(manual);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        if (offered)
            Messages::queueAnswer(answer);
        runHelp(opener);
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), offered ? 1 : 0);
        if (offered) {
            QCOMPARE(said.first().kind, Messages::Kind::ConfirmYesNo);
            QVERIFY2(said.first().text.contains(place), qPrintable(said.first().text));
        } else {
            QVERIFY(QFileInfo::exists(manual + QStringLiteral(".shown")));
        }
        QCOMPARE(QGuiApplication::clipboard()->text(), offered && answer ? place : QStringLiteral("before"));
    }

    // The command returns while the opener still runs: the window is not held meanwhile.
    void helpWaitsForTheOpenerWithoutHoldingTheWindow()
    {
        const QString manual = installManual();
        const QString go = m_home.filePath(QStringLiteral("go"));
        HelpCommand::setOpenCommand({QStringLiteral("sh"), QStringLiteral("-c"),
                                     QStringLiteral(R"(while [ ! -e "$0" ]; do sleep 0.02; done; exit 3)"),
                                     go});
        HelpCommand::showHelp(nullptr);
        QVERIFY(Messages::takeHistory().isEmpty());
        QVERIFY(qApp->findChild<QProcess *>(QStringLiteral("HelpOpener")));
        QFile(go).open(QIODevice::WriteOnly);
        QTRY_VERIFY(!qApp->findChild<QProcess *>(QStringLiteral("HelpOpener")));
        QCOMPARE(Messages::takeHistory().size(), 1);
    }

    // Statements the manual once made that the program does not bear out.
    void shippedManualPromisesNothingTheProgramLacks_data()
    {
        QTest::addColumn<QString>("phrase");
        QTest::addRow("a search field in the customer master") << "一覧の上の検索欄";
        QTest::addRow("an era-year numbering element") << "和暦";
        QTest::addRow("a free-text numbering element") << "自由な文字";
        QTest::addRow("product call-up fills the specification") << "商品名・規格・単位・単価が入ります";
        QTest::addRow("a code typed into the read-only company name") << "<li>「会社名」欄に取引先コード";
    }
    void shippedManualPromisesNothingTheProgramLacks()
    {
        QFETCH(QString, phrase);
        QFile f(QDir(QStringLiteral(KADOMEL_MANUAL_DIR)).filePath(QStringLiteral("index.html")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY2(!QString::fromUtf8(f.readAll()).contains(phrase), qPrintable(phrase));
    }

    // The manual shipped with the program: every picture and page it names is there, and every
    // link inside it leads to a heading.
    void shippedManualIsWhole()
    {
        const QDir dir(QStringLiteral(KADOMEL_MANUAL_DIR));
        QFile f(dir.filePath(QStringLiteral("index.html")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        const QRegularExpression link(QStringLiteral("(src|href)=\"([^\"]+)\""));
        int pictures = 0;
        for (const QRegularExpressionMatch &m : link.globalMatch(html)) {
            const QString target = m.captured(2);
            if (target.startsWith(QLatin1String("https:")) || target.startsWith(QLatin1String("mailto:")))
                continue;
            if (target.startsWith(u'#')) {
                QVERIFY2(html.contains(QStringLiteral("id=\"%1\"").arg(target.mid(1))), qPrintable(target));
                continue;
            }
            QVERIFY2(QFileInfo::exists(dir.filePath(target)), qPrintable(target));
            pictures += m.captured(1) == QLatin1String("src");
        }
        QVERIFY(pictures >= 10);
    }

    // The menu of the main window opens each window modally.
    void mainMenuOpensTheWindows()
    {
        writeReadme("readme");
        TFmain main;
        int seen = 0;
        onModal<TFreadMe>([&](TFreadMe *w) {
            seen += w->RichEdit1->toPlainText() == QStringLiteral("readme");
            w->close();
        });
        main.findChild<QAction *>(QStringLiteral("N5"))->trigger();
        onModal<TFversion>([&](TFversion *w) {
            ++seen;
            w->accept();
        });
        main.findChild<QAction *>(QStringLiteral("About1"))->trigger();
        onModal<TFsql>([&](TFsql *w) {
            ++seen;
            w->close();
        });
        QAction *sql = main.findChild<QAction *>(QStringLiteral("SQLQ1"));
        QVERIFY(sql->isEnabled());
        sql->trigger();
        QCOMPARE(seen, 3);

        main.findChild<QAction *>(QStringLiteral("Help2"))->trigger();
        QCOMPARE(Messages::takeHistory().size(), 1);
    }
};

QTEST_MAIN(TestHelpWindows)
#include "tst_helpwindows.moc"
