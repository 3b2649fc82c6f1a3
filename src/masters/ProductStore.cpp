#include "masters/ProductStore.h"

#include "common/Ukansu.h"
#include "data/Engine.h"
#include "data/RowStatements.h"
#include "masters/OwnCompanyStore.h"

namespace ProductStore {
namespace {

TFieldDef column(const char *name, const QString &label)
{
    return TFieldDef{QLatin1String(name), label, {}, -1, true};
}

const QString kTable = QStringLiteral("Syohin");
const QString kCode = QStringLiteral("SyohinCD"); // the key: every other column is written by both

void bindFields(TEngineQuery &q, const ProductRecord &p)
{
    q.ParamByName(QStringLiteral("SyohinCD")).setAsInteger(p.SyohinCD);
    q.ParamByName(QStringLiteral("SyohinNM")).setAsString(p.SyohinNM);
    q.ParamByName(QStringLiteral("Kikaku")).setAsString(p.Kikaku);
    q.ParamByName(QStringLiteral("Tani")).setAsString(p.Tani);
    if (p.Tanka)
        q.ParamByName(QStringLiteral("Tanka")).setAsFloat(*p.Tanka);
    else
        q.ParamByName(QStringLiteral("Tanka")).setNullFloat();
    if (p.ZeiRitu)
        q.ParamByName(QStringLiteral("ZeiRitu")).setAsInteger(*p.ZeiRitu);
}

// The columns a save writes: the rate only when the product carries one.
QStringList savedColumns(const ProductRecord &p, const QStringList &except = {})
{
    QStringList columns = RowStatements::schemaColumns(kTable, except);
    if (p.ZeiRitu)
        columns.append(QStringLiteral("ZeiRitu"));
    return columns;
}

// Opens "<select> where SyohinCD = :SyohinCD" with the product's code.
void openByCode(TEngineQuery &q, const QString &select, int code)
{
    q.addSql(select);
    q.addSql(QStringLiteral("where SyohinCD = :SyohinCD"));
    q.ParamByName(QStringLiteral("SyohinCD")).setAsInteger(code);
    q.Open();
}

// Runs an UPDATE or DELETE of one product; a statement that found no row (the product was deleted
// at another computer, perhaps a moment ago while this statement waited for its lock) raises.
void execOnExisting(TEngineQuery &q, const QString &notFound)
{
    q.ExecSQL();
    if (q.RowsAffected() == 0)
        throw EngineError(notFound);
}

} // namespace

void setUpList(TEngineQuery &q)
{
    q.setSql({QStringLiteral("SELECT * FROM SYOHIN"), QStringLiteral("order By SyohinCD")});
    q.FieldDefs() = {column("SyohinCD", QStringLiteral("商品CD")),
                     column("SyohinNM", QStringLiteral("商品名")), column("Kikaku", QStringLiteral("規格")),
                     column("Tani", QStringLiteral("単位")), column("Tanka", QStringLiteral("単価"))};
}

void setUpListWithRates(TEngineQuery &q)
{
    setUpList(q);
    if (!OwnCompanyStore::taxSettings(*q.database()).enabled)
        return;
    // The captions are the program's own fixed texts, never typed ones.
    QString caption = QStringLiteral("case");
    for (const int rate : taxRates())
        if (rate != ConsumptionTax::kStandardRate)
            caption += QStringLiteral(" when ZeiRitu = %1 then '%2'")
                           .arg(QString::number(rate), taxRateCaption(rate));
    caption +=
        QStringLiteral(" else '%1' end as ZeirituNM").arg(taxRateCaption(ConsumptionTax::kStandardRate));
    q.setSql({QStringLiteral("SELECT SYOHIN.*, %1 FROM SYOHIN").arg(caption),
              QStringLiteral("order By SyohinCD")});
    q.FieldDefs().append(column("ZeirituNM", QStringLiteral("税率")));
}

std::optional<ProductRecord> load(TEngineDatabase &db, int code)
{
    TEngineQuery q(&db);
    openByCode(q, QStringLiteral("select * from Syohin"), code);
    if (q.IsEmpty())
        return std::nullopt;
    ProductRecord p;
    p.SyohinCD = q.integer("SyohinCD");
    p.SyohinNM = q.text("SyohinNM");
    p.Kikaku = q.text("Kikaku");
    p.Tani = q.text("Tani");
    p.Tanka = q.optionalFloat("Tanka");
    p.ZeiRitu = q.optionalInteger(QStringLiteral("ZeiRitu"));
    return p;
}

void insert(TEngineDatabase &db, const ProductRecord &product)
{
    TEngineQuery q(&db);
    q.setSql({RowStatements::insertSql(kTable, savedColumns(product))});
    bindFields(q, product);
    q.ExecSQL();
}

void update(TEngineDatabase &db, const ProductRecord &product)
{
    TEngineQuery q(&db);
    q.setSql({RowStatements::updateSql(kTable, savedColumns(product, {kCode}), {kCode})});
    bindFields(q, product);
    execOnExisting(q, QStringLiteral("商品（商品CD %1）が見つかりません").arg(product.SyohinCD));
}

void remove(TEngineDatabase &db, int code)
{
    TEngineQuery q(&db);
    q.addSql(QStringLiteral("DELETE FROM SYOHIN WHERE SYOHINCD = :Syohincd"));
    q.ParamByName(QStringLiteral("Syohincd")).setAsInteger(code);
    execOnExisting(q, QStringLiteral("商品（商品CD %1）は既に削除されています").arg(code));
}

std::optional<double> priceFromText(const QString &text)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    return FieldTextToFloat(QStringLiteral("単価"), text);
}

QList<int> taxRates()
{
    return {10, 8, 0};
}

QString taxRateCaption(int rate)
{
    switch (rate) {
    case 8:
        return QStringLiteral("8%（軽減税率）");
    case 0:
        return QStringLiteral("非課税・不課税");
    default:
        return QStringLiteral("10%");
    }
}

QString priceText(const std::optional<double> &price)
{
    return price ? QString::number(*price, 'g', 15) : QString();
}

} // namespace ProductStore
