#include "cli/CliCommands.h"

#include "billing/ClosingDays.h"
#include "billing/InvoiceRun.h"
#include "data/AppPaths.h"
#include "data/ConnectionSettings.h"
#include "data/IniFile.h"
#include "data/TDMdata.h"
#include "masters/PostalLoader.h"

namespace CliCommands {

namespace {

void connect(TEngineDatabase &db)
{
    try {
        db.Open();
    } catch (const AppError &e) {
        throw AppError(QStringLiteral("データベースへの接続に失敗しました\n") + e.message());
    }
}

} // namespace

std::unique_ptr<TDMdata> configureDatabase(const std::function<void(const QString &)> &notify)
{
    // As at the program's start: a configuration file that is no text is kept under another name.
    const QString setAside = IniFile::setAsideIfNotText(AppPaths::iniPath());
    if (!setAside.isEmpty() && notify)
        notify(IniFile::setAsideNotice(AppPaths::iniPath(), setAside));
    const ConnectionSettings settings = ConnectionSettings::read(IniFile(AppPaths::iniPath()));
    AppPaths::ensureDataFolder();
    auto data = std::make_unique<TDMdata>();
    settings.applyTo(data->Session1, *data->DataDB);
    return data;
}

std::unique_ptr<TDMdata> openDatabase(const std::function<void(const QString &)> &notify)
{
    auto data = configureDatabase(notify);
    connect(*data->DataDB);
    data->CheckTables();
    return data;
}

std::unique_ptr<TDMdata> openForRestore(const std::function<void(const QString &)> &notify)
{
    auto data = configureDatabase(notify);
    if (data->Session1.SessionType == TSessionType::stRemote)
        connect(*data->DataDB);
    return data;
}

qint64 importPostal(TDMdata &data, const QString &path, const std::function<void(int percent)> &progress)
{
    PostalLoader loader(*data.DataDB);
    loader.setProgress([&](PostalLoader::Phase phase, qint64 done, qint64 total) {
        if (progress)
            progress(phase == PostalLoader::Phase::Registering || total <= 0 ? 100 : int(done * 100 / total));
    });
    return loader.load(path);
}

InvoiceRunOutcome runInvoices(TDMdata &data, const QDate &closing, std::optional<int> day,
                              std::optional<int> customer, const std::function<void(int percent)> &progress)
{
    TEngineDatabase &db = *data.DataDB;
    QList<int> customers;
    if (customer) {
        TEngineQuery q(&db);
        q.setSql({QStringLiteral("select key from Torihikisaki where key = :key")});
        q.ParamByName(QStringLiteral("key")).setAsInteger(*customer);
        q.Open();
        if (q.IsEmpty())
            throw AppError(QStringLiteral("取引先（key %1）が見つかりません").arg(*customer));
        customers = {*customer};
    } else {
        customers = ClosingDays::customersForDay(db, *day, ClosingDays::readCompany(db).companyDay);
    }
    InvoiceRun run(db);
    run.setProgress([&](int done, int total) {
        if (progress)
            progress(total == 0 ? 100 : done * 100 / total);
    });
    try {
        InvoiceRunOutcome outcome;
        outcome.made = int(run.run(customers, closing).size());
        if (!run.refused().isEmpty())
            outcome.refusals = refusalReport(run.refused());
        return outcome;
    } catch (const InvoiceRunError &e) {
        throw AppError(kRunFailed + QLatin1Char('\n') + e.message());
    }
}

} // namespace CliCommands
