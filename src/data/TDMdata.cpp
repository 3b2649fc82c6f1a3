#include "data/TDMdata.h"

#include "data/Schema.h"
#include "data/SchemaCatalogue.h"

TDMdata *DMdata = nullptr;

namespace {

// An older customer table lacks the honorific column: add it and give every customer "御中".
void upgradeCustomerHonorific(TEngineDatabase &db)
{
    TEngineTransaction transaction(db);
    // Read again inside the write transaction: another computer may have added it meanwhile.
    if (db.TableFieldNames(QStringLiteral("Torihikisaki"))
            .contains(QStringLiteral("keisyo"), Qt::CaseInsensitive))
        return;
    TEngineQuery query(&db);
    query.addSql(QStringLiteral("ALTER TABLE Torihikisaki "));
    query.addSql(db.dialect() == TEngineDialect::PostgreSQL ? QStringLiteral("ADD COLUMN IF NOT EXISTS ")
                                                            : QStringLiteral("ADD "));
    query.addSql(QStringLiteral("Keisyo CHARACTER VARYING(4)"));
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

// True when a table that was there already lacks a tax column (a new one is made with them).
bool lacksTaxColumns(const SchemaCatalogue &catalogue)
{
    for (const Schema::Table &table : Schema::tables()) {
        const QString name = QLatin1String(table.name);
        for (const Schema::Column &column : table.taxColumns)
            if (catalogue.hasTable(name) && !catalogue.hasColumn(name, QLatin1String(column.name)))
                return true;
    }
    return false;
}

// Adds the columns of the consumption-tax option to an older database, all in one transaction: the
// rows stay as they are and read as the option off (NULL).
void addTaxColumns(TEngineDatabase &db)
{
    TEngineTransaction transaction(db);
    // Read again inside the write transaction: another computer may have added them meanwhile.
    for (const QString &statement : missingTaxColumns(db)) {
        TEngineQuery alter(&db);
        alter.addSql(statement);
        alter.ExecSQL();
    }
    transaction.commit();
}

// The program's own indexes that a table which was there already lacks (an older database).
QStringList missingOwnIndexes(const Schema::Table &table, const SchemaCatalogue &catalogue)
{
    QStringList statements;
    for (const Schema::Index &index : table.ownIndexes)
        if (!catalogue.hasIndex(Schema::indexName(table, index)))
            statements.append(Schema::indexSql(table, index));
    return statements;
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
    // One read of the catalogue decides what is missing; only that is made, so that a database in
    // the current layout gets no DDL at all.
    const SchemaCatalogue catalogue = SchemaCatalogue::read(*DataDB);
    QList<const Schema::Table *> existing;
    for (const Schema::Table &table : Schema::tables()) {
        if (status)
            status(QString::fromUtf8(table.statusText));
        if (catalogue.hasTable(QLatin1String(table.name))) {
            existing.append(&table);
            continue;
        }
        TEngineQuery create(DataDB);
        create.addSql(Schema::creationScript(table, DataDB->dialect()));
        create.ExecSQL();
    }
    if (catalogue.hasTable(QStringLiteral("Torihikisaki")) &&
        !catalogue.hasColumn(QStringLiteral("Torihikisaki"), QStringLiteral("Keisyo")))
        upgradeCustomerHonorific(*DataDB);
    if (lacksTaxColumns(catalogue))
        addTaxColumns(*DataDB);
    // After the tax columns: an index may cover them.
    for (const Schema::Table *table : existing) {
        for (const QString &statement : missingOwnIndexes(*table, catalogue)) {
            TEngineQuery create(DataDB);
            create.addSql(statement);
            create.ExecSQL();
        }
    }
}
