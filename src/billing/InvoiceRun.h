#pragma once
// The invoice run: for each customer with anything unbilled up to the closing date, one invoice
// (the previous invoice amount, less the payments, plus the deliveries since), with one line per
// delivery-note line. The notes and payments taken are marked with the invoice's key and the
// customer's previous invoice amount becomes the new invoice amount.
//
// With the qualified-invoice option on, the invoice's lines keep their tax rates and the invoice its
// sums per rate, the tax computed once per rate on its own lines (not added up from the notes); when
// prices are without tax, that tax is added to the invoice amount and so carried into the next one.
//
// Each customer is one durable transaction. It takes the locks of the customers, the delivery notes
// and the payments, and then the invoices' numbering lock (the schema's lock order), so a second
// computer running at the same moment, or saving or deleting a document of the customer, waits for
// it; nothing is billed twice and an invoice always matches the documents it marks. A failure rolls back
// that customer and ends the run; the customers before it stay committed.
#include "common/AppError.h"
#include "common/ConsumptionTax.h"
#include "documents/Numbering.h"

#include <functional>
#include <memory>
#include <optional>
#include <QDate>
#include <QDateTime>
#include <QList>

class TEngineDatabase;

// What the user is told first when a customer's step fails; the engine's message follows.
inline const QString kRunFailed = QStringLiteral("データ作成に失敗しました");

// A failure of the run; the customers before `customerKey` are committed.
class InvoiceRunError : public AppError
{
public:
    InvoiceRunError(int customerKey, const QString &message) : AppError(message), m_customer(customerKey) {}
    int customerKey() const { return m_customer; }

private:
    int m_customer;
};

// A customer whose latest invoice has a later closing date than the run's: an invoice for the
// earlier date would carry the newer balance over as its previous amount, so none is made.
class ClosingOrderError : public AppError
{
public:
    using AppError::AppError;
};

// A customer the run skipped, and why.
struct InvoiceRunRefusal
{
    int customerKey = 0;
    QString message;
};

// What the user is told about the skipped customers: a heading, then one message per customer.
QString refusalReport(const QList<InvoiceRunRefusal> &refused);

class InvoiceRun
{
public:
    // Reads the numbering settings of invoices, the fiscal-year start month and the tax option.
    explicit InvoiceRun(TEngineDatabase &db);
    ~InvoiceRun();

    // done customers of total; called before the first and after each customer.
    void setProgress(std::function<void(int done, int total)> progress) { m_progress = std::move(progress); }

    // Bills the customers in the order given; returns the keys of the invoices made. A customer whose
    // latest invoice is for a later closing date is skipped and listed in refused(); the others still
    // run. Throws InvoiceRunError (carrying the engine's or the amount check's message) at the first
    // failure.
    QList<int> run(const QList<int> &customers, const QDate &closing);
    // The customers the last run skipped, in the order met.
    const QList<InvoiceRunRefusal> &refused() const { return m_refused; }
    // One customer in its own transaction; the new invoice's key, or nothing when it has nothing
    // unbilled up to the closing date. Throws ClosingOrderError, writing nothing, when the customer's
    // latest invoice has a later closing date (the same date is allowed).
    std::optional<int> billCustomer(int customer, const QDate &closing);

private:
    struct Statements;
    // A customer as the run reads it: name, previous invoice amount, and the number and the sum of
    // its unbilled payments and delivery notes up to the closing date.
    struct Unbilled
    {
        QString name;
        qint64 previousInvoiceAmount;
        qint64 paymentCount, paymentSum;
        qint64 noteCount, noteSum;
    };
    int writeInvoice(int customer, const QDate &closing, const Unbilled &unbilled);
    ConsumptionTax::RateSums invoiceTaxSums(int invoiceKey);
    void storeTaxSums(int invoiceKey, const ConsumptionTax::RateSums &sums, qint64 seikyu);
    void checkClosingOrder(int customer, const QDate &closing, const QString &name);

    TEngineDatabase &m_db;
    Numbering::SaibanSettei m_numbering;
    int m_fiscalYearStart = 4;
    ConsumptionTax::Settings m_tax; // the own company's option, read when the run begins
    std::unique_ptr<Statements> m_q;
    std::function<void(int, int)> m_progress;
    QList<InvoiceRunRefusal> m_refused;
};
