#pragma once
// Customers with closing days and previous invoice amounts, delivery notes and payments for the
// invoice tests, and the checks every run and deletion must leave true.
#include "DocumentFixture.h"
#include "TestDatabase.h"

#include <QDate>
#include <QList>
#include <QString>

class BillingFixture
{
public:
    explicit BillingFixture(TestDatabase &t) : m_t(t), m_docs(t.db()) {}

    DocumentFixture &docs() { return m_docs; }
    // The own-company row with its closing day.
    void setCompanyDay(int day);
    int addCustomer(const QString &name, int closingDay = 0, int zenkai = 0);
    // A delivery note of `lines` lines whose amounts add up to `amount` (the last line takes the rest).
    int addNote(int customer, int amount, const QDate &date, int lines = 1);
    int addPayment(int customer, int amount, const QDate &date);

    // Makes the engine reject the update of the customer's previous invoice amount: the last statement
    // of that customer's step, so that everything before it must be rolled back.
    void failCarryOverOf(int customer);
    void stopFailing();

    int invoiceCount();
    int seikyuKeyOf(const QString &table, int key);
    int zenkai(int customer);
    // An invoice's column as a number.
    qint64 invoiceValue(int invoice, const QString &column);

    // Empty when every invoice's Hanbaigaku and Nyukingaku equal the notes and payments marked with
    // its key, and every customer's previous invoice amount equals its latest invoice's amount (or
    // `opening` for a customer without invoices); else what is wrong.
    QString invariantViolations(const QHash<int, int> &opening);

private:
    TestDatabase &m_t;
    DocumentFixture m_docs;
};
