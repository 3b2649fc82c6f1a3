#include "app/ui/MainProgram.h"
#include "app/ui/StartCheck.h"
#include "app/ui/TFmain.h"
#include "app/ui/TFsplash.h"
#include "common/AppInfo.h"
#include "controls/KadomelApplication.h"
#include "report/engine/ReportFonts.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// The program's mark in every size of the desktop's icon theme (":/icons/<size>x<size>/apps"), for
// its windows' title bars and the about box.
QIcon programIcon()
{
    QIcon icon;
    for (const QString &size : QDir(QStringLiteral(":/icons")).entryList(QDir::Dirs))
        icon.addFile(QStringLiteral(":/icons/%1/apps/kadomel.png").arg(size));
    return icon;
}

// --version is answered before the application starts, so that it needs no screen.
bool askedForVersion(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--version") == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (askedForVersion(argc, argv)) {
        std::puts(AppInfo::versionLine("kadomel").toUtf8().constData());
        return 0;
    }
    KadomelApplication app(argc, argv);
    QApplication::setWindowIcon(programIcon());
    // The desktop entry it was installed with, so that the desktop matches its windows to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.kadomel.Kadomel"));
    installFontSubstitutions();

    auto *splash = new TFsplash;
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    QApplication::setApplicationName(QStringLiteral("Kadomel"));
    QTranslator qtJapanese;
    if (qtJapanese.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtJapanese);

    MainProgram program;
    std::unique_ptr<StartCheck> check;
    if (QApplication::arguments().contains(QLatin1String(StartCheck::kOption)))
        check = std::make_unique<StartCheck>(program.window());
    program.window().show();
    return app.exec();
}
