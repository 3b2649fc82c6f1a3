#include "data/Schema.h"

namespace Schema {
namespace {

using T = ColumnType;

Column I(const char *n, bool notNull = false)
{
    return {n, T::Integer, 0, notNull};
}
Column C(const char *n, int len)
{
    return {n, T::Character, len, false};
}
Column F(const char *n)
{
    return {n, T::Float};
}
Column D(const char *n)
{
    return {n, T::Date};
}
Column S(const char *n)
{
    return {n, T::Timestamp};
}

QList<Column> settingsColumns(bool withRemarks)
{
    QList<Column> c{I("key", true), C("SaibanHouhou", 20), C("Fuka1", 20), C("Fuka2", 20),
                    C("Fuka3", 20), I("Height"),           I("width"),     I("top"),
                    I("left"),      C("Syurui", 40)};
    if (withRemarks)
        c.append({"Bikou", T::Memo});
    return c;
}

QList<Column> lineColumns()
{
    return {I("Key", true), I("Gyo", true), C("SyohinNM", 40), C("Kikaku", 40),
            F("Suryo"),     C("Tani", 10),  F("Tanka"),        I("Kingaku")};
}

// The tax rate of a product or line: 10, 8, or 0 for goods without tax; NULL reads as 10.
QList<Column> rateColumn()
{
    return {I("ZeiRitu")};
}

// A document's sums per rate: the amounts at 10% and 8% with their tax, and the untaxed amount.
QList<Column> rateSumColumns()
{
    return {I("Taisyo10"), I("Zei10"), I("Taisyo8"), I("Zei8"), I("Hikazei")};
}

void addTaxColumns(QList<Table> &tables)
{
    for (Table &t : tables) {
        const QString name = QLatin1String(t.name);
        if (name == QLatin1String("JisyaJyoho"))
            t.taxColumns = {I("TekikakuKBN"), C("TourokuNo", 14), I("ZeiKomiKBN"), I("ZeiHasuuKBN")};
        else if (name == QLatin1String("Syohin") || name.endsWith(QLatin1String("Mesai")))
            t.taxColumns = rateColumn();
        else if (name == QLatin1String("Mitumori") || name == QLatin1String("Nohin") ||
                 name == QLatin1String("Seikyu"))
            t.taxColumns = rateSumColumns();
    }
}

QList<Table> buildTables()
{
    QList<Table> t;
    t.append({"JisyaJyoho",
              "自社情報テーブルのチェック",
              {I("key", true),       C("JisyaNM", 60),  C("Yubin", 8),     C("Jyusyo1", 60),
               C("Jyusyo2", 60),     C("Tel", 12),      C("Fax", 12),      C("Busyo", 100),
               C("Daihyosya", 40),   I("SeikyuSimebi"), I("NendoKaisiMM"), {"inei", T::Blob},
               C("KinyuKikan1", 20), C("Tenpo1", 20),   C("Syumoku1", 4),  C("Kouza1", 7),
               C("KinyuKikan2", 20), C("Tenpo2", 20),   C("Syumoku2", 4),  C("Kouza2", 7),
               C("Kinyukikan3", 20), C("tenpo3", 20),   C("Syumoku3", 4),  C("Kouza3", 7),
               I("Height"),          I("Width")},
              {"key"},
              {}});
    t.append(
        {"Torihikisaki",
         "取引先テーブルのチェック",
         {I("key", true), I("TorihikisakiCD"), C("TorihikisakiNM", 60), C("Keisyo", 4), C("Yubin", 8),
          C("Jyusyo1", 60), C("Jyusyo2", 60), C("Tel", 12), C("Fax", 12), C("Busyo", 100), C("Tantosya", 20),
          C("Mail", 50), I("Kisyuzan"), I("ZenkaiSeikyuGaku"), I("SeikyuSimebi"), S("TorokuYMD")},
         {"key"},
         {{"nmIDX", {"TorihikisakiNM"}}, {"cdIDX", {"TorihikisakiCD"}}}});
    t.append({"Syohin",
              "商品テーブルのチェック",
              {I("SyohinCD", true), C("SyohinNM", 40), C("Kikaku", 40), C("Tani", 10), F("Tanka")},
              {"SyohinCD"},
              {{"NMIDX", {"SyohinNM"}}}});
    t.append({"Address",
              "住所テーブルのチェック",
              {I("Yubin", true), {"Jyusyo", T::Character, 60, true}},
              {},
              {{"IxYubin", {"Yubin"}}}});
    t.append(
        {"Mitumori",
         "見積テーブルのチェック",
         {I("key", true), C("MitumoriNo", 20), D("Hiduke"), I("HidukeY"), I("HidukeM"), I("Seq"),
          I("TorihikisakiKey"), C("Title", 60), C("YukoKigen", 20), C("Nouki", 20), C("UkewatasiBasyo", 20),
          C("SiharaiJyoken", 20), I("Kingaku"), C("JisyaTanto", 20), S("KosinYMD")},
         {"key"},
         {{"MitumoriNoIDX", {"MitumoriNo"}},
          {"HizukeYIDX", {"HidukeY"}},
          {"HizukeYMIDX", {"HidukeY", "HidukeM"}}},
         {{"ListIDX", {"Hiduke", "key"}}, {"TorihikisakiIDX", {"TorihikisakiKey"}}}});
    t.append({"MitumoriMesai",
              "見積明細テーブルのチェック",
              lineColumns(),
              {"Key", "Gyo"},
              {{"NMIDX", {"SyohinNM"}}}});
    t.append({"MitumoriSettei", "見積設定テーブルのチェック", settingsColumns(true), {"key"}, {}});
    t.append({"Nohin",
              "納品テーブルのチェック",
              {I("key", true), C("NohinNo", 20), D("Hiduke"), I("HidukeY"), I("HidukeM"), I("Seq"),
               I("TorihikisakiKey"), C("UkewatasiBasyo", 20), I("Kingaku"), C("JisyaTanto", 20),
               I("SeikyuKey"), S("KosinYMD")},
              {"key"},
              {{"MitumoriNoIDX", {"NohinNo"}},
               {"HizukeYIDX", {"HidukeY"}},
               {"HizukeYMIDX", {"HidukeY", "HidukeM"}}},
              {{"ListIDX", {"Hiduke", "key"}},
               {"TorihikisakiIDX", {"TorihikisakiKey"}},
               {"SeikyuIDX", {"SeikyuKey"}},
               {"MiseikyuIDX", {"TorihikisakiKey", "SeikyuKey", "Hiduke"}},
               {"UriageIDX", {"Hiduke", "Kingaku", "Zei10", "Zei8"}}}});
    t.append({"NohinMesai",
              "納品明細テーブルのチェック",
              lineColumns(),
              {"Key", "Gyo"},
              {{"NMIDX", {"SyohinNM"}}}});
    t.append({"NohinSettei", "納品設定テーブルのチェック", settingsColumns(true), {"key"}, {}});
    t.append({"Nyukin",
              "入金テーブルのチェック",
              {I("key", true), C("RyosyuNo", 20), D("NyukinYMD"), I("NyukinY"), I("NyukinM"), I("Seq"),
               I("TorihikisakiKey"), I("Nyukingaku"), C("NyukinHouhou", 20), C("Tadasigaki", 30),
               I("SeikyuKey"), S("TorokuYMD"), S("KosinYMD")},
              {"key"},
              {{"NyukinYMDIDX", {"NyukinYMD"}},
               {"NyukinYIDX", {"NyukinY"}},
               {"NyukinYMIDX", {"NyukinY", "NyukinM"}}},
              {{"ListIDX", {"NyukinYMD", "key"}},
               {"TorihikisakiIDX", {"TorihikisakiKey"}},
               {"SeikyuIDX", {"SeikyuKey"}},
               {"MiseikyuIDX", {"TorihikisakiKey", "SeikyuKey", "NyukinYMD"}},
               {"NyukingakuIDX", {"NyukinYMD", "Nyukingaku"}}}});
    t.append({"RyosyusyouSettei", "領収証設定テーブルのチェック", settingsColumns(false), {}, {}});
    t.append(
        {"Seikyu",
         "請求テーブルのチェック",
         {I("key", true), C("SeikyuNo", 20), D("HakkoYMD"), C("HakkoY", 10), I("HakkoM"), I("Seq"),
          D("Simebi"), I("TorihikisakiKey"), I("ZenkaiSeikyu"), I("Nyukingaku"), I("Tyoseigaku"),
          I("Hanbaigaku"), I("Seikyugaku"), C("JisyaTanto", 20), S("TorokuYMD"), S("KosinYMD")},
         {"key"},
         {{"MitumoriNoIDX", {"SeikyuNo"}}, {"HakkoYIDX", {"HakkoY"}}, {"HakkoYMIDX", {"HakkoY", "HakkoM"}}},
         {{"ListIDX", {"Simebi", "key"}},
          {"TorihikisakiIDX", {"TorihikisakiKey"}},
          {"SeqIDX", {"Seq"}},
          {"SimebiSeqIDX", {"Simebi", "Seq"}},
          {"ZandakaIDX", {"TorihikisakiKey", "Simebi", "key"}}}});
    t.append({"SeikyuMesai",
              "請求明細テーブルのチェック",
              {I("Key", true), I("Gyo", true), D("NohinYMD"), C("NohinNo", 20), C("SyohinNM", 40),
               C("Kikaku", 40), F("Suryo"), C("Tani", 10), F("Tanka"), I("Kingaku")},
              {"Key", "Gyo"},
              {}});
    t.append({"SeikyuSettei", "請求設定テーブルのチェック", settingsColumns(true), {"key"}, {}});
    addTaxColumns(t);
    return t;
}

QString typeSql(const Column &c, TEngineDialect dialect)
{
    const bool pg = dialect == TEngineDialect::PostgreSQL;
    switch (c.type) {
    case T::Integer:
        return QStringLiteral("INTEGER");
    case T::Character:
        return QStringLiteral("VARCHAR(%1)").arg(c.length);
    case T::Float:
        return pg ? QStringLiteral("DOUBLE PRECISION") : QStringLiteral("FLOAT");
    case T::Date:
        return QStringLiteral("DATE");
    case T::Timestamp:
        return QStringLiteral("TIMESTAMP");
    case T::Blob:
        return pg ? QStringLiteral("BYTEA") : QStringLiteral("BLOB");
    case T::Memo:
        return QStringLiteral("TEXT");
    }
    return {};
}

QString columnList(const QList<const char *> &names)
{
    QStringList list;
    for (const char *n : names)
        list.append(columnSql(n));
    return list.join(QLatin1String(", "));
}

QString indexScript(const Table &table, const QList<Index> &indexes)
{
    QString script;
    for (const Index &index : indexes)
        script += indexSql(table, index) + QStringLiteral(";\n");
    return script;
}

} // namespace

const QList<Table> &tables()
{
    static const QList<Table> all = buildTables();
    return all;
}

const Table *table(const QString &name)
{
    for (const Table &t : tables())
        if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QString columnSql(const char *name)
{
    const QString n = QLatin1String(name);
    return n.compare(QLatin1String("left"), Qt::CaseInsensitive) == 0 ? QStringLiteral("\"left\"") : n;
}

QString indexName(const Table &table, const Index &index)
{
    return QLatin1String(table.name) + QLatin1Char('_') + QLatin1String(index.name);
}

QString creationScript(const Table &table, TEngineDialect dialect)
{
    QStringList columns;
    for (const Column &c : table.columns + table.taxColumns)
        columns.append(QStringLiteral("  %1 %2%3")
                           .arg(columnSql(c.name), typeSql(c, dialect),
                                c.notNull ? QStringLiteral(" NOT NULL") : QString()));
    if (!table.primaryKey.isEmpty())
        columns.append(QStringLiteral("  PRIMARY KEY (%1)").arg(columnList(table.primaryKey)));
    QString script = QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (\n%2\n);\n")
                         .arg(QLatin1String(table.name), columns.join(QLatin1String(",\n")));
    return script + indexScript(table, table.indexes) + ownIndexScript(table);
}

QString addColumnSql(const Table &table, const Column &column, TEngineDialect dialect)
{
    // On a server a second computer starting at the same moment may have added it meanwhile.
    return QStringLiteral("ALTER TABLE %1 ADD %2%3 %4")
        .arg(QLatin1String(table.name),
             dialect == TEngineDialect::PostgreSQL ? QStringLiteral("COLUMN IF NOT EXISTS ") : QString(),
             columnSql(column.name), typeSql(column, dialect));
}

QString indexSql(const Table &table, const Index &index)
{
    return QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
        .arg(indexName(table, index), QLatin1String(table.name), columnList(index.columns));
}

QString ownIndexScript(const Table &table)
{
    return indexScript(table, table.ownIndexes);
}

} // namespace Schema
