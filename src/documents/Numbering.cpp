#include "documents/Numbering.h"

#include "common/AppError.h"
#include "data/Engine.h"
#include "data/SjisLengthValidator.h"
#include "documents/DocumentSettings.h"
#include "masters/OwnCompanyStore.h"

namespace Numbering {

namespace {

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n % 100, 2, 10, QLatin1Char('0'));
}

QString fourDigits(int n)
{
    return QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
}

// The date columns a kind's running number is counted on.
struct PeriodColumns
{
    QString date;  // Hiduke, NyukinYMD, Simebi
    QString year;  // HidukeY, NyukinY; empty for invoices
    QString month; // HidukeM, NyukinM
};

PeriodColumns periodColumns(Kind kind)
{
    switch (kind) {
    case Kind::Mitumori:
    case Kind::Nohin:
        return {QStringLiteral("Hiduke"), QStringLiteral("HidukeY"), QStringLiteral("HidukeM")};
    case Kind::Ryosyusyou:
        return {QStringLiteral("NyukinYMD"), QStringLiteral("NyukinY"), QStringLiteral("NyukinM")};
    case Kind::Seikyu:
        break;
    }
    return {QStringLiteral("Simebi"), {}, {}};
}

QString baseStatement(Kind kind)
{
    switch (kind) {
    case Kind::Mitumori:
        return QStringLiteral("select max(seq) seq from mitumori");
    case Kind::Nohin:
        return QStringLiteral("select max(seq) seq from nohin");
    case Kind::Ryosyusyou:
        return QStringLiteral("select max(seq) seq from Nyukin");
    case Kind::Seikyu:
        break;
    }
    return QStringLiteral("select max(seq) seq from Seikyu");
}

// Adds the method's period condition; every method but the three period ones counts the whole table.
void addPeriod(TEngineQuery &q, Kind kind, const QString &method, const QDate &date, int startMonth)
{
    const PeriodColumns c = periodColumns(kind);
    if (method == kNenRenban) {
        const Period p = fiscalYear(date, startMonth);
        q.addSql(QStringLiteral("where %1 between :FromYMD and :ToYMD").arg(c.date));
        q.ParamByName(QStringLiteral("FromYMD")).setAsDate(p.FromYMD);
        q.ParamByName(QStringLiteral("ToYMD")).setAsDate(p.ToYMD);
    } else if (method == kTukiRenban && c.year.isEmpty()) {
        // Invoices keep no year and month columns: the calendar month of the closing date.
        const QDate first(date.year(), date.month(), 1);
        q.addSql(QStringLiteral("where %1 between :FromYMD and :ToYMD").arg(c.date));
        q.ParamByName(QStringLiteral("FromYMD")).setAsDate(first);
        q.ParamByName(QStringLiteral("ToYMD")).setAsDate(first.addMonths(1).addDays(-1));
    } else if (method == kTukiRenban) {
        q.addSql(QStringLiteral("where %1 = :%1").arg(c.year));
        q.addSql(QStringLiteral("and   %1 = :%1").arg(c.month));
        q.ParamByName(c.year).setAsInteger(date.year());
        q.ParamByName(c.month).setAsInteger(date.month());
    } else if (method == kNitiRenban) {
        q.addSql(QStringLiteral("where %1 = :%1").arg(c.date));
        q.ParamByName(c.date).setAsDate(date);
    }
}

bool numberTypedByUser(Kind kind)
{
    return kind != Kind::Seikyu;
}

// The elements' contributions joined, empty ones adding nothing.
QString elementsText(const QStringList &elements, const QDate &date)
{
    QString text;
    for (const QString &element : elements)
        text += elementText(element, date);
    return text;
}

} // namespace

QStringList methods()
{
    return {kTenyuryoku, kRenban, kNenRenban, kTukiRenban, kNitiRenban};
}

QStringList elementChoices()
{
    return {QString(),
            QStringLiteral("年月日（年４桁）"),
            QStringLiteral("年月日（年２桁）"),
            QStringLiteral("年月（年４桁）"),
            QStringLiteral("年月（年２桁）"),
            QStringLiteral("年４桁"),
            QStringLiteral("年２桁"),
            QStringLiteral("月"),
            QStringLiteral("日"),
            QStringLiteral("-")};
}

const KindInfo &info(Kind kind)
{
    static const KindInfo kinds[] = {
        {QStringLiteral("Mitumori"), QStringLiteral("MitumoriSettei"), QStringLiteral("MitumoriNo"),
         QStringLiteral("見積№")},
        {QStringLiteral("Nohin"), QStringLiteral("NohinSettei"), QStringLiteral("NohinNo"),
         QStringLiteral("納品№")},
        {QStringLiteral("Seikyu"), QStringLiteral("SeikyuSettei"), QStringLiteral("SeikyuNo"),
         QStringLiteral("請求№")},
        {QStringLiteral("Nyukin"), QStringLiteral("RyosyusyouSettei"), QStringLiteral("RyosyuNo"),
         QStringLiteral("領収証№")},
    };
    return kinds[int(kind)];
}

SaibanSettei readSettings(TEngineDatabase &db, Kind kind)
{
    TEngineQuery q(&db);
    q.addSql(QStringLiteral("select * from %1").arg(info(kind).settingsTable));
    q.addSql(QStringLiteral("where key = 0"));
    q.Open();
    if (q.IsEmpty()) {
        const DocumentSettings::Record d = DocumentSettings::defaultRow(kind);
        return {d.SaibanHouhou, d.Fuka1, d.Fuka2, d.Fuka3};
    }
    return {q.FieldByName(QStringLiteral("SaibanHouhou")).AsString(),
            q.FieldByName(QStringLiteral("Fuka1")).AsString(),
            q.FieldByName(QStringLiteral("Fuka2")).AsString(),
            q.FieldByName(QStringLiteral("Fuka3")).AsString()};
}

int readFiscalYearStart(TEngineDatabase &db)
{
    const std::optional<OwnCompanyRecord> company = OwnCompanyStore::load(db);
    const int month = company ? company->NendoKaisiMM : 4;
    return month >= 1 && month <= 12 ? month : 4;
}

Period fiscalYear(const QDate &date, int startMonth)
{
    if (startMonth < 1 || startMonth > 12)
        startMonth = 4;
    const int year = date.month() < startMonth ? date.year() - 1 : date.year();
    const QDate from(year, startMonth, 1);
    return {from, from.addMonths(12).addDays(-1)};
}

QString elementText(const QString &element, const QDate &d)
{
    const QString yyyy = fourDigits(d.year());
    const QString yy = twoDigits(d.year());
    const QString mm = twoDigits(d.month());
    const QString dd = twoDigits(d.day());
    if (element == QStringLiteral("年月日（年４桁）"))
        return yyyy + mm + dd;
    if (element == QStringLiteral("年月日（年２桁）"))
        return yy + mm + dd;
    if (element == QStringLiteral("年月（年４桁）"))
        return yyyy + mm;
    if (element == QStringLiteral("年月（年２桁）"))
        return yy + mm;
    if (element == QStringLiteral("年４桁"))
        return yyyy;
    if (element == QStringLiteral("年２桁"))
        return yy;
    if (element == QStringLiteral("月"))
        return mm;
    if (element == QStringLiteral("日"))
        return dd;
    return element; // "-", free text, or nothing
}

int SaibanSeq(TEngineDatabase &db, Kind kind, const QString &method, const QDate &date, int startMonth)
{
    TEngineQuery q(&db);
    q.addSql(baseStatement(kind));
    addPeriod(q, kind, method, date, startMonth);
    q.Open();
    return q.Field(0).AsInteger() + 1; // a NULL maximum (no document) reads as 0
}

std::optional<QString> SaibanNo(Kind kind, const SaibanSettei &s, const QDate &date, int seq, int key)
{
    if (s.SaibanHouhou == kTenyuryoku && numberTypedByUser(kind))
        return std::nullopt;
    if (s.SaibanHouhou == kRenban)
        return QString::number(key);
    return elementsText(s.elements(), date) + QString::number(seq);
}

void checkNumberLength(Kind kind, const QString &number)
{
    const qsizetype bytes = sjisByteLength(number);
    if (bytes > kNumberBytes)
        throw AppError(QStringLiteral("%1「%2」は%3バイトあり、%4バイトに収まりません。"
                                      "設定画面で連番の前に付加する文字を短くしてください")
                           .arg(info(kind).numberLabel, number)
                           .arg(bytes)
                           .arg(kNumberBytes));
}

QString preview(const QString &method, const QStringList &elements, const QDate &today)
{
    const QString head = QStringLiteral("表示例：");
    if (method == kTenyuryoku)
        return head;
    return head + elementsText(elements, today) + QStringLiteral("1234");
}

bool previewMayBeTooLong(Kind kind, const QString &method, const QStringList &elements, const QDate &today)
{
    if (method == kRenban || (method == kTenyuryoku && numberTypedByUser(kind)))
        return false;
    return sjisByteLength(elementsText(elements, today)) + 4 > kNumberBytes;
}

Numbered take(TEngineDatabase &db, Kind kind, const SaibanSettei &settings, int fiscalYearStart,
              const QDate &date, int key, const QString &typed)
{
    const QString table = info(kind).headerTable;
    db.LockForNumbering(table);
    Numbered n;
    n.key = key != 0 ? key : db.NewKey(table);
    n.seq = SaibanSeq(db, kind, settings.SaibanHouhou, date, fiscalYearStart);
    const bool keepsNumber = kind == Kind::Mitumori && key != 0;
    const std::optional<QString> composed = SaibanNo(kind, settings, date, n.seq, n.key);
    n.number = keepsNumber || !composed ? typed : *composed;
    checkNumberLength(kind, n.number);
    return n;
}

} // namespace Numbering
