#include "documents/DocumentSettings.h"

#include "common/AppInfo.h"
#include "data/Engine.h"
#include "data/RowStatements.h"

namespace DocumentSettings {

using Numbering::Kind;

namespace {

// The printed seal of a new row, in pixels each way; receipts keep no size.
constexpr int kSealSize = 73;

bool openRow(TEngineQuery &q, const Member &m)
{
    q.setSql({QStringLiteral("select * from %1").arg(m.table), QStringLiteral("where key = 0")});
    q.Open();
    return !q.IsEmpty();
}

Record readRow(const TEngineQuery &q, const Member &m)
{
    Record r;
    r.SaibanHouhou = q.text("SaibanHouhou");
    r.Fuka1 = q.text("Fuka1");
    r.Fuka2 = q.text("Fuka2");
    r.Fuka3 = q.text("Fuka3");
    r.top = q.optionalInteger("top");
    r.left = q.optionalInteger("left");
    r.Syurui = q.text("Syurui");
    if (m.remarks)
        r.Bikou = q.lines("Bikou");
    return r;
}

const QString kKey = QStringLiteral("key"); // the one row has key 0

// What the dialog never changes: the key and the seal's size.
QStringList keptColumns()
{
    return {kKey, QStringLiteral("Height"), QStringLiteral("Width")};
}

// "left" is a reserved word of the SQL server: the column is always written quoted, in the lower
// case in which the schema created it. The seal's Height and Width are written here only: the dialog
// never changes them. A new row has no elements (NULL).
void insertRow(TEngineQuery &q, const Member &m, const Record &r)
{
    if (!m.remarks) {
        q.setSql({QStringLiteral("insert into %1 (key, SaibanHouHou, Top, \"left\", Syurui)").arg(m.table),
                  QStringLiteral("Values(0, :SaibanHouHou, :Top, :Left, :Syurui)")});
    } else {
        q.setSql(
            {QStringLiteral("insert into %1 (key, SaibanHouHou, Height, Width, Top, \"left\", Syurui, Bikou)")
                 .arg(m.table),
             QStringLiteral("Values(0, :SaibanHouHou, %1, %1, :Top, :Left, :Syurui, :Bikou)")
                 .arg(kSealSize)});
        q.ParamByName(QStringLiteral("Bikou")).setAsMemo(r.Bikou);
    }
    q.ParamByName(QStringLiteral("SaibanHouHou")).setAsString(r.SaibanHouhou);
    q.ParamByName(QStringLiteral("Top")).setAsInteger(r.top.value_or(0));
    q.ParamByName(QStringLiteral("Left")).setAsInteger(r.left.value_or(0));
    q.ParamByName(QStringLiteral("Syurui")).setAsString(r.Syurui);
    q.ExecSQL();
}

} // namespace

const Member &member(Kind kind)
{
    static const Member members[] = {
        {Kind::Mitumori, QStringLiteral("MitumoriSettei"), QStringLiteral("FmitumoriSettei"),
         QStringLiteral("見積書設定"), QStringLiteral("見積№"), QStringLiteral("見積書種類"),
         Numbering::kTenyuryoku, QStringLiteral("窓付き封筒20行"), true, 441},
        {Kind::Nohin, QStringLiteral("NohinSettei"), QStringLiteral("FnohinSettei"),
         QStringLiteral("納品書設定"), QStringLiteral("納品№"), QStringLiteral("納品書種類"),
         Numbering::kTenyuryoku, QStringLiteral("窓付き封筒20行"), true, 433},
        {Kind::Seikyu, QStringLiteral("seikyuSettei"), QStringLiteral("FseikyuSettei"),
         QStringLiteral("請求書設定"), QStringLiteral("請求№"), QStringLiteral("請求書種類"),
         Numbering::kTenyuryoku, QStringLiteral("窓付き封筒20行"), true, 433},
        {Kind::Ryosyusyou, QStringLiteral("ryosyusyouSettei"), QStringLiteral("FryosyusyouSettei"),
         QStringLiteral("領収証設定"), QStringLiteral("領収証№"), QStringLiteral("領収証種類"),
         Numbering::kRenban, QStringLiteral("A4上下（領収証＋控え）"), false, 337},
    };
    return members[int(kind)];
}

QStringList defaultRemarks(Kind kind)
{
    const QString document = kind == Kind::Mitumori ? QStringLiteral("見積書")
                             : kind == Kind::Nohin  ? QStringLiteral("納品書")
                             : kind == Kind::Seikyu ? QStringLiteral("請求書")
                                                    : QString();
    if (document.isEmpty())
        return {};
    QStringList lines{QStringLiteral("この%1は無料ソフト「Kadomel」で作成しました。").arg(document)};
    // A placeholder address never prints on a customer's document.
    if (AppInfo::hasRealHomePage())
        lines << QStringLiteral("下記のホームページからダウンロードできます。")
              << QStringLiteral("Kadomel 開発チーム　") + QLatin1String(AppInfo::kHomePage);
    return lines;
}

Record defaultRow(Kind kind, const QStringList &remarks)
{
    const Member &m = member(kind);
    Record r;
    r.SaibanHouhou = m.defaultMethod;
    r.top = 96;
    r.left = 576;
    r.Syurui = m.syurui;
    if (m.remarks)
        r.Bikou = remarks;
    return r;
}

Record loadOrCreate(TEngineDatabase &db, Kind kind, const QStringList &remarks)
{
    const Member &m = member(kind);
    TEngineQuery q(&db);
    if (openRow(q, m))
        return readRow(q, m);
    TEngineTransaction transaction(db);
    db.LockForNumbering(Numbering::info(kind).settingsTable);
    if (!openRow(q, m)) { // another computer may have inserted it while this one waited
        insertRow(q, m, defaultRow(kind, remarks));
        openRow(q, m);
    }
    const Record r = readRow(q, m);
    q.Close();
    transaction.commit();
    return r;
}

void save(TEngineDatabase &db, Kind kind, const Record &r)
{
    const Member &m = member(kind);
    TEngineQuery q(&db);
    q.setSql(
        {RowStatements::updateSql(m.table, RowStatements::schemaColumns(m.table, keptColumns()), {kKey})});
    q.ParamByName(kKey).setAsInteger(0);
    if (m.remarks)
        q.ParamByName(QStringLiteral("Bikou")).setAsMemo(r.Bikou);
    q.ParamByName(QStringLiteral("Saibanhouhou")).setAsString(r.SaibanHouhou);
    q.ParamByName(QStringLiteral("Fuka1")).setAsString(r.Fuka1);
    q.ParamByName(QStringLiteral("Fuka2")).setAsString(r.Fuka2);
    q.ParamByName(QStringLiteral("Fuka3")).setAsString(r.Fuka3);
    auto setInteger = [&q](const char *name, std::optional<int> v) {
        TEngineParam &p = q.ParamByName(QLatin1String(name));
        if (v)
            p.setAsInteger(*v);
        else
            p.setNullInteger();
    };
    setInteger("Top", r.top);
    setInteger("Left", r.left);
    q.ParamByName(QStringLiteral("Syurui")).setAsString(r.Syurui);
    q.ExecSQL();
    if (q.RowsAffected() == 0)
        throw EngineError(
            QStringLiteral("%1が見つかりません（ほかのコンピュータで削除されました）").arg(m.caption));
}

} // namespace DocumentSettings
