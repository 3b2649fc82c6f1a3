// The configuration file and the connection settings read from it.
#include "data/AppDocuments.h"
#include "data/AppPaths.h"
#include "data/ConnectionSettings.h"
#include "data/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestConfig : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QString writeFile(const QByteArray &content)
    {
        const QString path = dir.filePath(QStringLiteral("kadomel.ini"));
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(content);
        return path;
    }

private Q_SLOTS:
    void initTestCase() { qputenv("KADOMEL_HOME", dir.path().toUtf8()); }

    void readsWithoutRegardToCaseAndKeepsUnknownEntries()
    {
        const QString path = writeFile("garbage line\n=novalue\n[db]\nTYPE=remote\nPort = 5433\n"
                                       "[Other]\nkeep=this = too\n[DB]\nname=second section merges\n");
        IniFile ini(path);
        QCOMPARE(ini.readString(QStringLiteral("DB"), QStringLiteral("type")), QStringLiteral("remote"));
        QCOMPARE(ini.readInteger(QStringLiteral("Db"), QStringLiteral("port"), 12005), 5433);
        QCOMPARE(ini.readString(QStringLiteral("other"), QStringLiteral("KEEP")),
                 QStringLiteral("this = too"));
        QCOMPARE(ini.readString(QStringLiteral("DB"), QStringLiteral("name")),
                 QStringLiteral("second section merges"));
        ini.writeString(QStringLiteral("DB"), QStringLiteral("type"), QStringLiteral("local"));

        IniFile again(path);
        QCOMPARE(again.readString(QStringLiteral("DB"), QStringLiteral("type")), QStringLiteral("local"));
        QCOMPARE(again.readString(QStringLiteral("Other"), QStringLiteral("keep")),
                 QStringLiteral("this = too"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray written = f.readAll();
        QVERIFY(!written.contains("garbage")); // rewritten cleanly
        QCOMPARE(QFile::permissions(path) & 0x00ff,
                 QFile::Permissions()); // nobody else may read the password
    }

    // A file copied from a Windows installation is in Shift-JIS (code page 932): it is read as such
    // and written back in UTF-8 with its texts whole; a UTF-8 file stays UTF-8.
    void japaneseTextSurvivesARewrite_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("name");
        QTest::addRow("UTF-8") << QByteArray("[Tanto]\nName=山田\n") << "山田";
        QTest::addRow("Shift-JIS") << QByteArray("[Tanto]\r\nName=\x8e\x52\x93\x63\r\n") << "山田";
        // The second byte of ソ and 表 is the ASCII backslash.
        QTest::addRow("trail byte 0x5c") << QByteArray("[Tanto]\r\nName=\x83\x5c\x95\x5c\r\n") << "ソ表";
        // Characters that only Windows' variant of Shift-JIS has.
        QTest::addRow("CP932 extensions")
            << QByteArray("[Tanto]\r\nName=\xfb\xfc\x8b\xb4\x87\x40\r\n") << "髙橋①";
    }

    void japaneseTextSurvivesARewrite()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, name);
        const QString path = writeFile(content);
        IniFile ini(path);
        QCOMPARE(ini.readString(QStringLiteral("Tanto"), QStringLiteral("Name")), name);
        ini.writeString(QStringLiteral("Kadomel"), QStringLiteral("Ver"), QStringLiteral("1.03"));

        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray written = f.readAll();
        QVERIFY(written.contains(QByteArray("Name=" + name.toUtf8())));
        QCOMPARE(IniFile(path).readString(QStringLiteral("Tanto"), QStringLiteral("Name")), name);
    }

    void defaults_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("local");
        QTest::addRow("no file") << QByteArray() << "local" << 12005 << true;
        QTest::addRow("port not a number") << QByteArray("[DB]\nport=abc\n") << "local" << 12005 << true;
        QTest::addRow("empty port") << QByteArray("[DB]\nport=\n") << "local" << 12005 << true;
        // Only the exact text "local" means a database folder.
        QTest::addRow("Local is a server")
            << QByteArray("[DB]\ntype=Local\nport=6000\n") << "Local" << 6000 << false;
        QTest::addRow("empty type is a server") << QByteArray("[DB]\ntype=\n") << "" << 12005 << false;
    }

    void defaults()
    {
        QFETCH(QByteArray, content);
        QFile::remove(dir.filePath(QStringLiteral("kadomel.ini")));
        if (!content.isEmpty())
            writeFile(content);
        const ConnectionSettings s = ConnectionSettings::read(IniFile(AppPaths::iniPath()));
        QTEST(s.type, "type");
        QTEST(s.port, "port");
        QTEST(s.isLocal(), "local");
        QCOMPARE(s.folder, QDir(dir.path()).filePath(QStringLiteral("DB")));
    }

    void settingsRoundTrip()
    {
        QFile::remove(AppPaths::iniPath());
        ConnectionSettings s;
        s.type = QStringLiteral("remote");
        s.folder = QStringLiteral("/srv/kadomel");
        s.ip = QStringLiteral("192.0.2.1");
        s.port = 5432;
        s.name = QStringLiteral("office");
        s.user = QStringLiteral("taro");
        s.pass = QStringLiteral("p=ss word");
        IniFile ini(AppPaths::iniPath());
        s.write(ini);
        const ConnectionSettings r = ConnectionSettings::read(IniFile(AppPaths::iniPath()));
        QCOMPARE(r.type, s.type);
        QCOMPARE(r.folder, s.folder);
        QCOMPARE(r.ip, s.ip);
        QCOMPARE(r.port, s.port);
        QCOMPARE(r.name, s.name);
        QCOMPARE(r.user, s.user);
        QCOMPARE(r.pass, s.pass);
    }

    // A configuration file that cannot be written is reported and what is on disk stays as it was.
    // A folder that is a regular file stops every user; a read-only folder stops all but root.
    void unwritableFileReportsAndKeepsOldContent_data()
    {
        QTest::addColumn<bool>("folderIsAFile");
        QTest::addRow("folder is a regular file") << true;
        QTest::addRow("read-only folder") << false;
    }

    void unwritableFileReportsAndKeepsOldContent()
    {
        QFETCH(bool, folderIsAFile);
        QTemporaryDir home;
        const QFile::Permissions open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        QString path;
        if (folderIsAFile) {
            QFile blocker(home.filePath(QStringLiteral("kadomel")));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            blocker.write("not a folder");
            blocker.close();
            path = blocker.fileName() + QStringLiteral("/kadomel.ini");
        } else {
            path = home.filePath(QStringLiteral("kadomel.ini"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[DB]\ntype=local\n");
            file.close();
            QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::ExeOwner);
            if (QFileInfo(home.path()).isWritable()) {
                QFile::setPermissions(home.path(), open);
                QSKIP("permissions do not stop this user (root): the row of the regular file covers it");
            }
        }
        const auto onDisk = [&] {
            QFile file(folderIsAFile ? home.filePath(QStringLiteral("kadomel")) : path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        const QByteArray before = onDisk();

        IniFile ini(path);
        try {
            ini.writeString(QStringLiteral("DB"), QStringLiteral("type"), QStringLiteral("remote"));
            QFile::setPermissions(home.path(), open);
            QFAIL("the write should have failed");
        } catch (const AppError &e) {
            QCOMPARE(e.message(), QStringLiteral("設定ファイルに書き込めません: ") + path);
        }
        QFile::setPermissions(home.path(), open);
        QCOMPARE(onDisk(), before);
        QCOMPARE(QDir(home.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(),
                 1); // no stray file
    }

    // A file that is no text is renamed to the first free ".bad" name, its bytes whole; a text in
    // either encoding, an empty file and a missing one stay where they are.
    void unreadableFileIsSetAside_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("badNamesTaken"); // -1: the file is text and stays
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i)
            garbage += char((i * 151 + 7) % 256);
        QTest::addRow("binary") << garbage << 0;
        QTest::addRow("binary, .bad taken") << garbage << 1;
        QTest::addRow("binary, .bad and .bad.1 taken") << garbage << 2;
        // Valid Shift-JIS bytes, but the picture header's control characters are no text.
        QTest::addRow("PNG header") << QByteArray("\x89PNG\r\n\x1a\n[DB]\ntype=local\n") << 0;
        QTest::addRow("UTF-8") << QByteArray("[Tanto]\nName=山田\t様\n") << -1;
        QTest::addRow("Shift-JIS") << QByteArray("[Tanto]\r\nName=\x8e\x52\x93\x63\r\n") << -1;
        QTest::addRow("empty") << QByteArray() << -1;
    }

    void unreadableFileIsSetAside()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, badNamesTaken);
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("kadomel.ini"));
        const auto write = [](const QString &name, const QByteArray &bytes) {
            QFile f(name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        write(path, content);
        const QStringList taken{path + QStringLiteral(".bad"), path + QStringLiteral(".bad.1")};
        for (int i = 0; i < badNamesTaken; ++i)
            write(taken[i], "earlier");

        const QString aside = IniFile::setAsideIfNotText(path);
        if (badNamesTaken < 0) {
            QVERIFY(aside.isEmpty());
            QVERIFY(QFile::exists(path));
            return;
        }
        const QStringList names{path + QStringLiteral(".bad"), path + QStringLiteral(".bad.1"),
                                path + QStringLiteral(".bad.2")};
        QCOMPARE(aside, names[badNamesTaken]);
        QVERIFY(!QFile::exists(path));
        QFile kept(aside);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), content);
        for (int i = 0; i < badNamesTaken; ++i) {
            QFile earlier(taken[i]);
            QVERIFY(earlier.open(QIODevice::ReadOnly));
            QCOMPARE(earlier.readAll(), QByteArray("earlier"));
        }
        QVERIFY(IniFile::setAsideIfNotText(path).isEmpty()); // nothing left to set aside
    }

    void dataFolderIsCreatedOrReported()
    {
        QDir(dir.path()).rmdir(QStringLiteral("DB"));
        AppPaths::ensureDataFolder();
        QVERIFY(QFileInfo(AppPaths::dataFolder()).isDir());

        // A home folder that does not exist yet is made with its "DB" folder, as a program makes its
        // data folder (kadomel-cli --home new/folder).
        QTemporaryDir fresh;
        const QString home = QDir(fresh.path()).filePath(QStringLiteral("new/home"));
        qputenv("KADOMEL_HOME", home.toUtf8());
        AppPaths::ensureDataFolder();
        QVERIFY(QFileInfo(QDir(home).filePath(QStringLiteral("DB"))).isDir());

        // A file where the folder should be: the folder cannot be made.
        QTemporaryDir other;
        qputenv("KADOMEL_HOME", other.path().toUtf8());
        QFile blocker(QDir(other.path()).filePath(QStringLiteral("DB")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        try {
            AppPaths::ensureDataFolder();
            QFAIL("expected a failure");
        } catch (const AppError &e) {
            QCOMPARE(e.message(), QStringLiteral("データフォルダ作成失敗 ") +
                                      QDir::toNativeSeparators(blocker.fileName()));
        }
        qputenv("KADOMEL_HOME", dir.path().toUtf8());
    }

    // Where kadomel.ini and the "DB" folder go, by how the program was started: a copy installed
    // under a prefix uses the user's XDG folders even where it could write beside itself (root in
    // /usr/bin, a prefix in the home folder); a build or a portable copy keeps its own folder.
    void foldersFollowHowTheProgramRuns_data()
    {
        QTest::addColumn<QString>("exeDir"); // relative to a scratch root
        QTest::addColumn<bool>("withHome");
        QTest::addColumn<QString>("expected"); // "beside", "home" or "xdg"
        QTest::addRow("build tree") << "build/src/app" << false << "beside";
        QTest::addRow("portable copy in a folder named bin") << "portable/bin" << false << "beside";
        QTest::addRow("installed, folder writable") << "usr/bin" << false << "xdg";
        QTest::addRow("installed, KADOMEL_HOME set") << "usr/bin" << true << "home";
        QTest::addRow("build tree, KADOMEL_HOME set") << "build/src/app" << true << "home";
    }

    void foldersFollowHowTheProgramRuns()
    {
        QFETCH(QString, exeDir);
        QFETCH(bool, withHome);
        QFETCH(QString, expected);
        QTemporaryDir root;
        const QDir r(root.path());
        QVERIFY(r.mkpath(QStringLiteral("build/src/app")) && r.mkpath(QStringLiteral("portable/bin")) &&
                r.mkpath(QStringLiteral("usr/bin")) && r.mkpath(QStringLiteral("usr/share/doc/kadomel")));
        const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME"), savedData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_CONFIG_HOME", r.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_DATA_HOME", r.filePath(QStringLiteral("data")).toUtf8());

        const QString home = withHome ? r.filePath(QStringLiteral("home")) : QString();
        const AppPaths::Folders f = AppPaths::chooseFolders(home, r.filePath(exeDir));
        const QString folder = expected == QLatin1String("beside") ? r.filePath(exeDir)
                               : expected == QLatin1String("home") ? home
                                                                   : QString();
        if (folder.isEmpty()) {
            QCOMPARE(f.program, r.filePath(QStringLiteral("config/kadomel")));
            QCOMPARE(f.data, r.filePath(QStringLiteral("data/kadomel/DB")));
        } else {
            QCOMPARE(f.program, folder);
            QCOMPARE(f.data, QDir(folder).filePath(QStringLiteral("DB")));
        }
        QCOMPARE(f.xdg, folder.isEmpty());
        QVERIFY(!QFileInfo::exists(r.filePath(QStringLiteral("config")))); // choosing makes nothing
        qputenv("XDG_CONFIG_HOME", savedConfig);
        qputenv("XDG_DATA_HOME", savedData);
    }

    // An installed program finds its readme and manual in share/doc/kadomel beside its bin folder;
    // a file beside the program (a portable copy's own readme) comes first.
    void installedProgramFindsItsDocuments()
    {
        QTemporaryDir root;
        const QDir r(root.path());
        const QString docs = r.filePath(QStringLiteral("usr/share/doc/kadomel"));
        QVERIFY(r.mkpath(QStringLiteral("usr/bin")) && QDir().mkpath(docs + QStringLiteral("/docs/manual")));
        for (const QString &name : {QStringLiteral("readme.txt"), QStringLiteral("docs/manual/index.html")}) {
            QFile f(QDir(docs).filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const QString bin = r.filePath(QStringLiteral("usr/bin"));
        QCOMPARE(AppDocuments::locate(QStringLiteral("readme.txt"), bin),
                 docs + QStringLiteral("/readme.txt"));
        QCOMPARE(AppDocuments::locate(QStringLiteral("docs/manual/index.html"), bin),
                 docs + QStringLiteral("/docs/manual/index.html"));

        QFile own(dir.filePath(QStringLiteral("readme.txt"))); // KADOMEL_HOME, beside the program
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.close();
        QCOMPARE(AppDocuments::locate(QStringLiteral("readme.txt"), bin), own.fileName());
        own.remove();
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
