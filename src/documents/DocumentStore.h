#pragma once
// Estimates (Mitumori with MitumoriMesai) and delivery notes (Nohin with NohinMesai): reading one
// with its lines, saving one, and a new delivery note copied from a stored estimate.
//
// A save is one write transaction: the customers' lock (as deleting a customer takes it, so the
// customer cannot vanish under the document), registering a new customer, the header table's lock,
// the old header and lines deleted, key and number taken, header and lines inserted. It stores
// everything or nothing.
#include "common/ConsumptionTax.h"
#include "documents/DocumentLines.h"
#include "documents/Numbering.h"
#include "masters/CustomerStore.h"

#include <optional>
#include <QDate>
#include <QList>
#include <QString>

class TEngineDatabase;

struct DocumentRecord
{
    int key = 0;    // 0 for a document not yet stored
    QString number; // MitumoriNo or NohinNo
    QDate Hiduke;   // the zero date when the date field held none
    int Seq = 0;
    int TorihikisakiKey = 0;
    QString Title; // the four free texts of an estimate; delivery notes have none
    QString YukoKigen;
    QString Nouki;
    QString SiharaiJyoken;
    QString UkewatasiBasyo;
    QString JisyaTanto;
    qint64 Kingaku = 0; // the sum of the line amounts
    // The sums per tax rate, for a document saved with the qualified-invoice option on.
    std::optional<ConsumptionTax::RateSums> taxSums;
    // Delivery notes: the invoice that holds the note, 0 when none. For a save, the one read when the
    // window opened: the save refuses when the stored one differs.
    int SeikyuKey = 0;
    QList<DocumentLine> lines;
};

// What a save stored.
struct SavedDocument
{
    int key = 0;
    QString number;
    int Seq = 0;
    int TorihikisakiKey = 0;
};

namespace DocumentStore {

using Kind = Numbering::Kind; // Mitumori or Nohin

std::optional<DocumentRecord> load(TEngineDatabase &db, Kind kind, int key);

// A new delivery note filled from the stored estimate: dated today, no number, the estimate's
// customer, place of handover, staff member, lines and total. Nothing when the estimate is gone.
std::optional<DocumentRecord> noteFromEstimate(TEngineDatabase &db, int estimateKey, const QDate &today);

struct SaveOptions
{
    Numbering::SaibanSettei settings;
    int fiscalYearStart = 4;
    // The customer to register when the document names none yet (TorihikisakiKey 0).
    CustomerRecord newCustomer;
    // The own company's tax option: when on, the lines keep their rates (10 for a line without one)
    // and the header its sums per rate; when off both stay NULL as before.
    ConsumptionTax::Settings tax;
};

// The sums per rate of the lines, the tax rounded once per rate as the settings say.
ConsumptionTax::RateSums taxSumsOf(const QList<DocumentLine> &lines, const ConsumptionTax::Settings &tax);

// Saves the document under its key (0: a new one) and returns key, number and customer. The
// number: under "手入力" the typed one; an estimate saved again keeps it; otherwise composed anew.
// A delivery note that an invoice holds keeps its SeikyuKey. Throws AppError, storing nothing, for
// an amount or total beyond 32 bits, a line's name or unit longer than its column (naming the row), a
// missing or unreadable date, a new customer without a name, a number longer than its column, a
// customer or a document deleted meanwhile at another computer, a delivery note whose invoice key
// another computer changed since it was read (document.SeikyuKey), and any engine failure.
SavedDocument save(TEngineDatabase &db, Kind kind, const DocumentRecord &document,
                   const SaveOptions &options);

// Whether saving `edited` changes what the invoice of the billed delivery note `opened` counted: its
// amount (the sum of the lines), its customer or its date. The editor asks before such a save.
bool changesBilledNote(const DocumentRecord &opened, const DocumentRecord &edited);

// The 32-bit check of the save, for the editors to use before anything is written.
void checkAmounts(const QList<DocumentLine> &lines);
// The byte lengths of the lines' names and units, and the date and customer name of the header.
void checkTexts(Kind kind, const QList<DocumentLine> &lines);
void checkHeader(const DocumentRecord &document, const SaveOptions &options);

} // namespace DocumentStore
