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

// The ALTER statements for the tax columns an older database lacks.
QStringList missingTaxColumns(TEngineDatabase &db)
{
    QStringList statements;
    for (const Schema::Table &table : Schema::tables()) {
        if (table.taxColumns.isEmpty())
            continue;
        const QStringList fields = db.TableFieldNames(QLatin1String(table.name));
        for (const Schema::Column &column : table.taxColumns)
            if (!fields.contains(QLatin1String(column.name), Qt::CaseInsensitive))
                statements.append(Schema::addColumnSql(table, column, db.dialect()));
    }
    return statements;
}

// Adds the columns of the consumption-tax option to an older database, all in one transaction: the
// rows stay as they are and read as the option off (NULL).
void addTaxColumns(TEngineDatabase &db)
{
    if (missingTaxColumns(db).isEmpty())
        return;
    TEngineTransaction transaction(db);
    // Read again inside the write transaction: another computer may have added them meanwhile.
    for (const QString &statement : missingTaxColumns(db)) {
        TEngineQuery alter(&db);
        alter.addSql(statement);
        alter.ExecSQL();
    }
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
    QList<const Schema::Table *> withOwnIndexes; // the tables that were there already
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
        withOwnIndexes.append(&table);
    }
    addTaxColumns(*DataDB);
    // After the tax columns: an index may cover them.
    for (const Schema::Table *table : withOwnIndexes) {
        const QString ownIndexes = Schema::ownIndexScript(*table);
        if (!ownIndexes.isEmpty()) {
            TEngineQuery create(DataDB);
            create.addSql(ownIndexes);
            create.ExecSQL();
        }
    }
}
