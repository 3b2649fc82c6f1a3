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

    // Creates every missing table with its indexes, upgrades an older customer table and adds the
    // tax columns an older database lacks; each step's text goes to the status callback first. Throws
    // EngineError on failure.
    void CheckTables(const std::function<void(const QString &)> &status = {});
};

// The program's one data module; set while it exists.
extern TDMdata *DMdata;
