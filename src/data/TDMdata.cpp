#include "data/TDMdata.h"

#include "data/Schema.h"

TDMdata *DMdata = nullptr;

namespace {

// An older customer table lacks the honorific column: add it and give every customer "御中".
void upgradeCustomerHonorific(TEngineDatabase &db)
{
    const QStringList fields = db.TableFieldNames(QStringLiteral("Torihikisaki"));
    if (fields.contains(QStringLiteral("keisyo"), Qt::CaseInsensitive))
        return;
    TEngineTransaction transaction(db);
    TEngineQuery query(&db);
    query.addSql(QStringLiteral("ALTER TABLE Torihikisaki "));
    query.addSql(QStringLiteral("ADD Keisyo CHARACTER VARYING(4)"));
    query.ExecSQL();
    query.clearSql();
    query.addSql(QStringLiteral("UPDATE Torihikisaki "));
    query.addSql(QStringLiteral("Set Keisyo = '御中'"));
    query.addSql(QStringLiteral("where Keisyo is null or Keisyo = ''"));
    query.ExecSQL();
    transaction.commit();
}

} // namespace

TDMdata::TDMdata(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("DMdata"));
    Session1.Active = false; // nothing is open until start-up has applied the configuration
    DataDB = new TEngineDatabase(&Session1, QStringLiteral("DataDB"), this);
    QStringList lockOrder;
    for (const Schema::Table &table : Schema::tables())
        lockOrder.append(QLatin1String(table.name));
    DataDB->setLockOrder(lockOrder);
    DMdata = this;
}

TDMdata::~TDMdata()
{
    DataDB->Close();
    if (DMdata == this)
        DMdata = nullptr;
}

void TDMdata::CheckTables(const std::function<void(const QString &)> &status)
{
    for (const Schema::Table &table : Schema::tables()) {
        if (status)
            status(QString::fromUtf8(table.statusText));
        const QString name = QLatin1String(table.name);
        if (!DataDB->TableExists(name)) {
            TEngineQuery create(DataDB);
            create.addSql(Schema::creationScript(table, DataDB->dialect()));
            create.ExecSQL();
            continue;
        }
        if (name == QLatin1String("Torihikisaki"))
            upgradeCustomerHonorific(*DataDB);
        else
            DataDB->TableFieldNames(name); // an existing table must be readable
        const QString ownIndexes = Schema::ownIndexScript(table);
        if (!ownIndexes.isEmpty()) {
            TEngineQuery create(DataDB);
            create.addSql(ownIndexes);
            create.ExecSQL();
        }
    }
}
