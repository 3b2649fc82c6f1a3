#include "billing/ClosingDays.h"

#include "data/Engine.h"
#include "documents/Numbering.h"
#include "masters/OwnCompanyStore.h"

namespace ClosingDays {

CompanyDays readCompany(TEngineDatabase &db)
{
    CompanyDays days;
    if (const std::optional<OwnCompanyRecord> company = OwnCompanyStore::load(db))
        days.companyDay = company->SeikyuSimebi;
    days.fiscalYearStart = Numbering::readFiscalYearStart(db);
    return days;
}

QList<int> offered(TEngineDatabase &db, int companyDay)
{
    QList<int> days{companyDay};
    TEngineQuery q(&db);
    q.addSql(QStringLiteral("select SeikyuSimebi from Torihikisaki"));
    q.addSql(QStringLiteral("where SeikyuSimebi between 1 and 99"));
    q.addSql(QStringLiteral("Group By SeikyuSimebi"));
    q.addSql(QStringLiteral("Order By SeikyuSimebi"));
    q.Open();
    for (q.First(); !q.Eof(); q.Next()) {
        const int day = q.Field(0).AsInteger();
        if (day != kMonthEnd || companyDay != kMonthEnd)
            days.append(day);
    }
    return days;
}

QString caption(int day)
{
    return day == kMonthEnd ? kMonthEndCaption : QString::number(day);
}

std::optional<int> fromCaption(const QString &text)
{
    if (text == kMonthEndCaption)
        return kMonthEnd;
    bool ok = false;
    const int day = text.toInt(&ok);
    return ok ? std::optional<int>(day) : std::nullopt;
}

std::optional<QDate> defaultClosingDate(int day, const QDate &today)
{
    if (day != kMonthEnd && (day < 1 || day > 31))
        return std::nullopt;
    // A day beyond the month's length (and the month end) closes on the month's last day, so the last
    // day of the month is itself a closing date of such a day.
    const int thisMonth = qMin(day, today.daysInMonth());
    if (today.day() >= thisMonth)
        return QDate(today.year(), today.month(), thisMonth);
    const QDate previousMonth = QDate(today.year(), today.month(), 1).addMonths(-1);
    return QDate(previousMonth.year(), previousMonth.month(), qMin(day, previousMonth.daysInMonth()));
}

int effectiveDay(int customerDay, int companyDay)
{
    return customerDay == 0 ? companyDay : customerDay;
}

QList<int> customersForDay(TEngineDatabase &db, int day, int companyDay)
{
    TEngineQuery q(&db);
    q.addSql(QStringLiteral("select key from Torihikisaki"));
    q.addSql(QStringLiteral("where SeikyuSimebi = :SeikyuSimebi"));
    if (day == companyDay)
        q.addSql(QStringLiteral("or SeikyuSimebi = 0"));
    q.addSql(QStringLiteral("order by key"));
    q.ParamByName(QStringLiteral("SeikyuSimebi")).setAsInteger(day);
    q.Open();
    QList<int> keys;
    for (q.First(); !q.Eof(); q.Next())
        keys.append(q.Field(0).AsInteger());
    return keys;
}

} // namespace ClosingDays
