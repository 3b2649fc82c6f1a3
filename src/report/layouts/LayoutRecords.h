#pragma once
// What the printed layouts read besides their documents: the own-company row as its store reads it
// (company block, seal picture and size, bank accounts), the settings row of a document kind (seal
// place, remarks) and the customer of a document. The seal picture is decoded in memory.
#include "common/ConsumptionTax.h"

#include <QImage>
#include <QString>
#include <QStringList>

class TEngineDatabase;
class TEngineQuery;

struct LayoutCompany
{
    QString name;
    QString yubin;
    QString jyusyo1;
    QString jyusyo2;
    QString tel;
    QString fax;
    QString busyo;
    QImage seal;                 // null when the row holds no readable picture
    bool sealUnreadable = false; // the row holds bytes that are no whole JPEG or bitmap picture
    int sealHeight = 0;
    int sealWidth = 0;
    // Bank, branch, account kind and number of each of the three transfer accounts.
    QStringList accounts[3];
    // The qualified-invoice option and, when it is on with a number, "登録番号：T…"; empty otherwise.
    ConsumptionTax::Settings tax;
    QString registrationLine;
};

struct LayoutSettings
{
    // As the settings dialog creates the row; used while no row exists yet.
    int top = 96;
    int left = 576;
    int height = 73;
    int width = 73;
    QStringList remarks;
};

struct LayoutCustomer
{
    QString name;
    QString keisyo;
    QString yubin;
    QString jyusyo1;
    QString jyusyo2;
    QString busyo;
    QString tantosya;
};

// The own-company row as the store reads it, its seal decoded; an empty record when there is no row.
LayoutCompany readCompany(TEngineDatabase &db);
// "select * from <table> where key = 0"; `withRemarks` for the tables that have `Bikou`.
LayoutSettings readSettings(TEngineQuery &query, const QString &table, bool withRemarks);
// "select * from torihikisaki where key = :key"; an empty record when the customer is gone.
LayoutCustomer readCustomer(TEngineQuery &query, int key);

// The remarks as the flowing-text item takes them: every line followed by CR LF.
QString remarksText(const QStringList &lines);
