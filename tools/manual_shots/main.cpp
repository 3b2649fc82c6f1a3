// kadomel-shots: takes the pictures of the user manual from the real windows. It starts the program
// on the folder given by --home (a database with sample data, made by scripts/manual-shots), shows
// each window as a user would open it, and writes what the window looks like to --out as PNG files.
// Names given after the options limit the run to those pictures.
//
//   kadomel-shots --home DIR --out DIR [name...]
#include "app/ui/MainProgram.h"
#include "app/ui/TFmain.h"
#include "billing/ui/TFnyukin.h"
#include "billing/ui/TFseikyuIkkatuInsatu.h"
#include "billing/ui/TFseikyusyoData.h"
#include "controls/KadomelApplication.h"
#include "controls/Messages.h"
#include "data/TDMdata.h"
#include "data/ui/TFDBSetting.h"
#include "data/ui/TFsql.h"
#include "documents/ui/TFmitumori.h"
#include "documents/ui/TFmitumoriSettei.h"
#include "documents/ui/TFnohin.h"
#include "masters/ui/TFjisyaJyoho.h"
#include "masters/ui/TFsyohinMaster.h"
#include "masters/ui/TFtorihikisakiMaster.h"
#include "masters/ui/TFtorihikisakiMaster2.h"
#include "masters/ui/TFyubinLoad.h"
#include "report/engine/ReportFonts.h"
#include "report/ui/TLRmitumorisyo.h"
#include "report/ui/TLRnohinsyo.h"
#include "report/ui/TLRryosyusyou.h"
#include "report/ui/TLRseikyusyo.h"

#include <functional>
#include <memory>
#include <QDeadlineTimer>
#include <QDir>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextStream>
#include <QThread>

namespace {

struct Options
{
    QString home;
    QString out;
    QStringList only;
};

// Lets the window settle: queued start-up steps, layouts and the first preview page.
void settle(int milliseconds = 400)
{
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

bool waitFor(const std::function<bool()> &ready, int milliseconds = 10000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!ready()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

// A picture: its file name (without .png) and how to bring its window up. The window returned is
// shown, photographed and deleted.
struct Shot
{
    const char *name;
    std::function<QWidget *(TFmain &)> open;
};

template<typename Window> QWidget *plain(TFmain &main)
{
    return new Window(&main);
}

// A report window over one document: its master query gets the one statement and key.
template<typename Window> QWidget *report(TEngineQuery *Window::*query, const char *table, TFmain &main)
{
    auto *window = new Window(&main);
    TEngineQuery *q = window->*query;
    q->addSql(QStringLiteral("select * from %1 where key = :key").arg(QLatin1String(table)));
    q->ParamByName(QStringLiteral("key")).setAsInteger(1);
    q->Open();
    return window;
}

QWidget *mainPage(TFmain &main, int page)
{
    main.PageControl1->setCurrentIndex(page);
    return &main;
}

QWidget *estimateEditor(TFmain &main)
{
    auto *window = new TFmitumori(&main);
    window->setMitumoriKey(2);
    return window;
}

QWidget *deliveryEditor(TFmain &main)
{
    auto *window = new TFnohin(&main);
    window->setNohinKey(2);
    return window;
}

QWidget *paymentEditor(TFmain &main)
{
    auto *window = new TFnyukin(&main);
    window->NyukinKey = 1;
    return window;
}

QWidget *customerEditor(TFmain &main)
{
    auto *window = new TFtorihikisakiMaster2(&main);
    window->Key->setText(QStringLiteral("1"));
    return window;
}

const QList<Shot> &shots()
{
    static const QList<Shot> list{
        {"main-estimates", [](TFmain &m) { return mainPage(m, 0); }},
        {"main-deliveries", [](TFmain &m) { return mainPage(m, 1); }},
        {"main-payments", [](TFmain &m) { return mainPage(m, 2); }},
        {"main-invoices", [](TFmain &m) { return mainPage(m, 3); }},
        {"main-settings", [](TFmain &m) { return mainPage(m, 4); }},
        {"own-company", &plain<TFjisyaJyoho>},
        {"customers", &plain<TFtorihikisakiMaster>},
        {"customer-edit", &customerEditor},
        {"products", &plain<TFsyohinMaster>},
        {"postal-load", &plain<TFyubinLoad>},
        {"estimate-settings", &plain<TFmitumoriSettei>},
        {"estimate-editor", &estimateEditor},
        {"delivery-editor", &deliveryEditor},
        {"payment", &paymentEditor},
        {"invoice-run", &plain<TFseikyusyoData>},
        {"batch-print", &plain<TFseikyuIkkatuInsatu>},
        {"sql-window", &plain<TFsql>},
        {"db-setting", [](TFmain &m) -> QWidget * { return new TFDBSetting(m.Settings, *DMdata, &m); }},
        {"preview-estimate",
         [](TFmain &m) { return report<TLRmitumorisyo>(&TLRmitumorisyo::Qmitumori, "mitumori", m); }},
        {"preview-delivery", [](TFmain &m) { return report<TLRnohinsyo>(&TLRnohinsyo::Qnohin, "nohin", m); }},
        {"preview-invoice",
         [](TFmain &m) { return report<TLRseikyusyo>(&TLRseikyusyo::Qseikyu, "seikyu", m); }},
        {"preview-receipt",
         [](TFmain &m) { return report<TLRryosyusyou>(&TLRryosyusyou::Qnyukin, "nyukin", m); }},
    };
    return list;
}

bool parse(const QStringList &args, Options &options)
{
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--home") && i + 1 < args.size())
            options.home = args[++i];
        else if (args[i] == QLatin1String("--out") && i + 1 < args.size())
            options.out = args[++i];
        else if (args[i].startsWith(QLatin1String("--")))
            return false;
        else
            options.only << args[i];
    }
    return !options.home.isEmpty() && !options.out.isEmpty();
}

bool take(const Shot &shot, TFmain &main, const QDir &out)
{
    QWidget *window = shot.open(main);
    const bool ownWindow = window != &main;
    window->show();
    settle();
    const bool saved = window->grab().save(out.filePath(QLatin1String(shot.name) + QLatin1String(".png")));
    if (ownWindow) {
        window->close();
        delete window;
        settle(50);
    }
    return saved;
}

} // namespace

int main(int argc, char *argv[])
{
    KadomelApplication app(argc, argv);
    QTextStream err(stderr);
    Options options;
    if (!parse(QCoreApplication::arguments(), options)) {
        err << "usage: kadomel-shots --home DIR --out DIR [name...]\n";
        return 2;
    }
    qputenv("KADOMEL_HOME", QFile::encodeName(options.home));
    installFontSubstitutions();
    // Nothing may wait for a person: a question the sample data raises is answered and written out.
    Messages::setTestMode(true, false);

    QDir out(options.out);
    out.mkpath(QStringLiteral("."));
    MainProgram program;
    TFmain &main = program.window();
    main.resize(980, 640);
    main.show();
    if (!waitFor([&main] { return main.Qmitumori->Active(); })) {
        err << "the main window did not open its lists\n";
        return 1;
    }
    int failed = 0;
    for (const Shot &shot : shots()) {
        if (!options.only.isEmpty() && !options.only.contains(QLatin1String(shot.name)))
            continue;
        if (!take(shot, main, out)) {
            err << "could not write " << shot.name << ".png\n";
            ++failed;
        }
    }
    for (const Messages::Record &said : Messages::takeHistory())
        err << "message: " << said.text << '\n';
    main.close();
    return failed == 0 ? 0 : 1;
}
