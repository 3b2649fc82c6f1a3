#include "app/ui/MainProgram.h"
#include "app/ui/TFmain.h"
#include "app/ui/TFsplash.h"
#include "controls/KadomelApplication.h"
#include "report/engine/ReportFonts.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    KadomelApplication app(argc, argv);
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
    program.window().show();
    return app.exec();
}
