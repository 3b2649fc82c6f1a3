#pragma once
// The customers of the Torihikisaki table: the list the master shows, reading one customer,
// adding (the new key taken inside the write transaction), changing and deleting, and the
// documents that still refer to a customer.
#include <optional>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class TEngineDatabase;
class TEngineQuery;

struct CustomerRecord
{
    int key = 0; // 0 for a customer not yet stored
    int TorihikisakiCD = 0;
    QString TorihikisakiNM;
    QString Keisyo;
    QString Yubin;
    QString Jyusyo1;
    QString Jyusyo2;
    QString Tel;
    QString Fax;
    QString Busyo;
    QString Tantosya;
    QString Mail;
    int Kisyuzan = 0;
    int ZenkaiSeikyuGaku = 0;
    int SeikyuSimebi = 0;
    QDateTime TorokuYMD;
};

// How many documents of each kind name a customer.
struct DocumentReferences
{
    int estimates = 0;
    int deliveryNotes = 0;
    int payments = 0;
    int invoices = 0;
    int total() const { return estimates + deliveryNotes + payments + invoices; }
};

namespace CustomerStore {

// The honorifics a customer can have; the first is the one for a company.
QStringList honorifics();
// The honorific as the edit window shows it: a stored text that is no honorific shows as "御中".
QString shownHonorific(const QString &stored);

// "SELECT * FROM Torihikisaki" in key order, with the list's columns and titles.
void setUpList(TEngineQuery &q);

std::optional<CustomerRecord> load(TEngineDatabase &db, int key);
// The key of a customer with the customer code (取引先CD); the first the engine finds when several
// share it, nothing when none has it.
std::optional<int> keyByCode(TEngineDatabase &db, int code);
// The keys of every customer with the customer code, in key order.
QList<int> keysByCode(TEngineDatabase &db, int code);
// Whether an invoice was made for the customer (its carried amounts are then the invoice run's).
bool hasInvoice(TEngineDatabase &db, int key);
// Stores a new customer under the table's highest key plus one, registered at customer.TorokuYMD
// (now when that is not set); returns the key.
int insert(TEngineDatabase &db, const CustomerRecord &customer);
// Stores the changed fields of the customer with customer.key, under the customers' lock. Throws
// EngineError when no such customer is left (deleted meanwhile at another computer).
void update(TEngineDatabase &db, const CustomerRecord &customer);

DocumentReferences references(TEngineDatabase &db, int key);
// Deletes the customer unless documents refer to it; returns those references (nothing is deleted
// when there are any). Takes the customers' lock first, as a document save does. Throws EngineError
// when the customer is already gone.
DocumentReferences remove(TEngineDatabase &db, int key);
// Why a customer with documents cannot be deleted, with the counts.
QString referencesMessage(const DocumentReferences &references);

} // namespace CustomerStore
