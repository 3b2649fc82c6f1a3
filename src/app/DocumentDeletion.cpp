#include "app/DocumentDeletion.h"

#include "common/DisplayFormat.h"
#include "data/Engine.h"

namespace DocumentDeletion {

const QString kInvoicedWarning = QStringLiteral("請求書発行済みですが削除してもよろしいですか？\n\r"
                                                "削除した場合は取引先マスタの前回請求額を修正してください");
const QString kFailedMessage = QStringLiteral("削除に失敗しました");

namespace {

// The questions' parts stand on lines separated by a line feed and a carriage return.
const QString kSeparator = QStringLiteral("\n\r");

QString question(const QStringList &parts)
{
    return (parts + QStringList{QStringLiteral("よろしいですか？")}).join(kSeparator);
}

QString yen(qint64 amount)
{
    return formatNumber(u"\\#,#0", double(amount));
}

struct Tables
{
    const char *header;
    const char *lines; // none for payments
};

Tables tablesOf(Kind kind)
{
    switch (kind) {
    case Kind::Estimate:
        return {"Mitumori", "MitumoriMesai"};
    case Kind::DeliveryNote:
        return {"Nohin", "NohinMesai"};
    case Kind::Payment:
        break;
    }
    return {"Nyukin", nullptr};
}

int deleteByKey(TEngineDatabase &db, const char *table, int key)
{
    TEngineQuery q(&db);
    q.setSql(
        {QStringLiteral("DELETE FROM %1").arg(QLatin1String(table)), QStringLiteral("WHERE Key = :Key")});
    q.ParamByName(QStringLiteral("Key")).setAsInteger(key);
    q.ExecSQL();
    return q.RowsAffected();
}

} // namespace

QString estimateQuestion(const QDate &date, const QString &customer, const QString &title)
{
    return question(
        {formatDate(DisplayFormat::kDate, date), customer, title, QStringLiteral("の見積りを削除します。")});
}

QString deliveryNoteQuestion(const QDate &date, const QString &customer, qint64 amount)
{
    return question({formatDate(DisplayFormat::kDate, date), customer, yen(amount),
                     QStringLiteral("の納品書を削除します。")});
}

QString paymentQuestion(const QDate &date, const QString &customer, qint64 amount)
{
    return question({formatDate(DisplayFormat::kDate, date), customer, yen(amount),
                     QStringLiteral("の入金を削除します。")});
}

QString alreadyGoneMessage(Kind kind)
{
    switch (kind) {
    case Kind::Estimate:
        return QStringLiteral("この見積書はほかのコンピュータで削除されています。");
    case Kind::DeliveryNote:
        return QStringLiteral("この納品書はほかのコンピュータで削除されています。");
    case Kind::Payment:
        break;
    }
    return QStringLiteral("この入金はほかのコンピュータで削除されています。");
}

// Under the table's numbering lock, which the saves of these documents take: a deletion waits
// for a save of the same document on another computer, and then deletes what that save stored.
Outcome remove(TEngineDatabase &db, Kind kind, int key)
{
    const Tables tables = tablesOf(kind);
    TEngineTransaction transaction(db);
    db.LockForNumbering(QLatin1String(tables.header));
    if (tables.lines)
        deleteByKey(db, tables.lines, key);
    if (deleteByKey(db, tables.header, key) == 0)
        return Outcome::AlreadyGone; // the transaction rolls back
    transaction.commit();
    return Outcome::Deleted;
}

} // namespace DocumentDeletion
