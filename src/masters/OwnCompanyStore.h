#pragma once
// The business's own details: the single row with key 0 of JisyaJyoho (company block, closing day,
// fiscal-year start, seal picture and its printed size, three bank accounts), and the person in
// charge with the mail address, which belong to this computer's configuration file instead.
#include "common/ConsumptionTax.h"

#include <array>
#include <optional>
#include <QByteArray>
#include <QString>

class IniFile;
class QImage;
class TEngineDatabase;
class TEngineQuery;

struct BankAccount
{
    QString KinyuKikan;
    QString Tenpo;
    QString Syumoku; // "", "普通" or "当座"
    QString Kouza;
};

struct OwnCompanyRecord
{
    QString JisyaNM;
    QString Yubin;
    QString Jyusyo1;
    QString Jyusyo2;
    QString Tel;
    QString Fax;
    QString Busyo;
    QString Daihyosya;
    int SeikyuSimebi = 99; // 1 to 31, 99 the month's last day
    int NendoKaisiMM = 4;  // the month the fiscal year begins
    QByteArray Inei;       // the seal as a complete JPEG file
    int Height = 70;       // printed size of the seal in layout units
    int Width = 70;
    std::array<BankAccount, 3> accounts;
    // The qualified-invoice option; off for a row that never had it.
    ConsumptionTax::Settings tax;
    bool taxStored = false; // the row holds the option's columns (TekikakuKBN not NULL)
};

// The person in charge on this computer (configuration section "Tanto").
struct StaffMember
{
    QString Name;
    QString Mail;
    static StaffMember read(const IniFile &ini);
    void write(IniFile &ini) const;
};

namespace OwnCompanyStore {

// The blank seal: a 50 x 50 white JPEG, for documents printed without one.
QByteArray blankSeal();
QStringList accountTypes(); // "", "普通", "当座"

// The row with key 0; nothing when the database has none yet. Every reader of the own company
// (windows, printed documents, numbering, invoice run, command line) takes it from here.
std::optional<OwnCompanyRecord> load(TEngineDatabase &db);
// Sets `q` up to read whole own-company rows, as a printed sheet's master of one page per row:
// the row with key 0, or every row of the table (the seal test sheet).
enum class Rows { KeyZero, All };
void selectRows(TEngineQuery &q, Rows rows);
// The row, created first with the defaults (closing day 99, fiscal year from April, a 70 x 70 blank
// seal) when the database has none. Two computers doing this at once create it once.
OwnCompanyRecord loadOrCreate(TEngineDatabase &db);
// True while the company has no name: no row yet, or a name left empty or blank (an own-company
// window cancelled at the first start). Every start asks for the own company until it has one.
bool lacksName(TEngineDatabase &db);
// Throws ConvertError for a closing day outside 1-31 and 99 or a month outside 1-12 (the invoice
// run and the numbering could not use them), EngineError when the row is gone. The option's columns
// are written when it is on or the row held them already, so a row that never had it keeps NULL.
void save(TEngineDatabase &db, const OwnCompanyRecord &company);
void validate(const OwnCompanyRecord &company);
// The qualified-invoice option as the row keeps it; off when there is no row or it never had it.
ConsumptionTax::Settings taxSettings(TEngineDatabase &db);
// Why the registration number cannot be stored with the option on: none, not "T" and 13 digits, or
// a check digit that does not match; empty when it is fine or the option is off (then the number is
// neither used nor checked, and may be empty).
QString registrationRefusal(const ConsumptionTax::Settings &tax);
// The number as typed with full-width letters and digits made half-width and a small "t" made "T".
QString registrationNumberFromText(const QString &text);

// The seal from a picture file of any type Qt reads, as the JPEG bytes the row keeps: a JPEG file
// as it is, another picture converted (transparent parts on white, as on paper). Throws AppError
// naming the file when it is no readable picture or a JPEG or bitmap file cut short.
QByteArray sealFromFile(const QString &path);

} // namespace OwnCompanyStore
