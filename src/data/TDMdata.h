#pragma once
// The data module: owns the one session and database of the program and checks the tables at start.
#include "data/Engine.h"

#include <functional>
#include <memory>
#include <QObject>

class TDMdata : public QObject
{
    Q_OBJECT
public:
    explicit TDMdata(QObject *parent = nullptr);
    ~TDMdata() override;

    TEngineSession Session1;
    TEngineDatabase *DataDB; // named "DataDB", owned by the module

    // Reads the database's catalogue (tables, columns, indexes) once and makes only what is missing:
    // every missing table with its indexes, the honorific column of an older customer table, the tax
    // columns and the program's own indexes an older database lacks. A database in the current layout gets no
    // DDL, which would wait for other computers' open write transactions. Each table's text goes to the
    // status callback first. Throws EngineError on failure.
    void CheckTables(const std::function<void(const QString &)> &status = {});
};

// The program's one data module; set while it exists.
extern TDMdata *DMdata;
