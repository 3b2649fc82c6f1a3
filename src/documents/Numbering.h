#pragma once
// Document numbers and running numbers of the four kinds (estimate, delivery note, invoice, the
// receipt of a payment). Each kind's settings row chooses one of five methods and up to three
// elements written in front of the running number; the running number (Seq) counts the kind's
// documents over the method's period.
//
// A number is taken inside the caller's write transaction, right before the caller inserts the
// header: take() locks the kind's header table, so that two computers saving at once wait for each
// other and never draw the same running number or key.
#include <optional>
#include <QDate>
#include <QString>
#include <QStringList>

class TEngineDatabase;

namespace Numbering {

enum class Kind { Mitumori, Nohin, Seikyu, Ryosyusyou };

// The method captions as the settings rows store them.
inline const QString kTenyuryoku = QStringLiteral("手入力");
inline const QString kRenban = QStringLiteral("連番");
inline const QString kNenRenban = QStringLiteral("年度別連番");
inline const QString kTukiRenban = QStringLiteral("月連番");
inline const QString kNitiRenban = QStringLiteral("日連番");
QStringList methods(); // the five, in the order the settings dialogs show them

// The choices of the element boxes: an empty entry, the date captions and "-".
QStringList elementChoices();

// Bytes a number column holds (MitumoriNo, NohinNo, SeikyuNo, RyosyuNo).
inline constexpr int kNumberBytes = 20;

// The numbering part of a kind's settings row.
struct SaibanSettei
{
    QString SaibanHouhou = kTenyuryoku;
    QString Fuka1;
    QString Fuka2;
    QString Fuka3;
    QStringList elements() const { return {Fuka1, Fuka2, Fuka3}; }
};

struct KindInfo
{
    QString headerTable;   // "Mitumori"
    QString settingsTable; // "MitumoriSettei"
    QString numberColumn;  // "MitumoriNo"
    QString numberLabel;   // "見積№", for messages
};
const KindInfo &info(Kind kind);

// A kind without a settings row numbers as the row its settings dialog would insert
// (DocumentSettings::defaultRow): "連番" for receipts, "手入力" for the others, no elements.
SaibanSettei readSettings(TEngineDatabase &db, Kind kind);
// NendoKaisiMM of the own company; 4 without a row, and for a month outside 1 to 12 (which the
// own-company window refuses, but an older database may hold).
int readFiscalYearStart(TEngineDatabase &db);

// The fiscal year holding the date: first and last day.
struct Period
{
    QDate FromYMD;
    QDate ToYMD;
};
Period fiscalYear(const QDate &date, int startMonth);

// What one element adds in front of the running number, from the numbering date. Captions are
// matched as exact text; any other text is added unchanged.
QString elementText(const QString &element, const QDate &date);

// The running number: the largest Seq of the kind's documents in the method's period, plus one
// (1 when there is none). Reads the header table; the caller holds its lock (see take()).
int SaibanSeq(TEngineDatabase &db, Kind kind, const QString &method, const QDate &date, int startMonth);

// The number text: the bare key under "連番", the elements and the running number otherwise.
// Nothing under "手入力" for the kinds whose number the user types (invoices have no such field and
// compose their number).
std::optional<QString> SaibanNo(Kind kind, const SaibanSettei &settings, const QDate &date, int seq, int key);

// Throws AppError when the number does not fit its 20-byte column.
void checkNumberLength(Kind kind, const QString &number);

// The settings dialogs' example: "表示例：" with the elements of today and "1234", or "表示例："
// alone under "手入力".
QString preview(const QString &method, const QStringList &elements, const QDate &today);
// True when a number composed from these elements can be longer than its column: the elements with
// a four-digit running number exceed 20 bytes. Invoices compose under "手入力" too.
bool previewMayBeTooLong(Kind kind, const QString &method, const QStringList &elements, const QDate &today);

struct Numbered
{
    int key = 0;    // the kept key, or the new one
    int seq = 1;    // Seq of the header row
    QString number; // the number column's text
};

// Numbers one document inside the caller's write transaction, just before it inserts the header.
// key: the kept key of a document saved again (its old header already deleted), 0 for a new one,
// which then gets the table's maximum key plus one. typed: the number field's text, the number under
// "手入力"; an estimate saved again also keeps it, while a delivery note saved again is numbered
// anew from its current date. Payments and invoices are numbered only when they are created: a
// changed payment keeps its number and running number. Throws AppError for a number too long for its
// column.
Numbered take(TEngineDatabase &db, Kind kind, const SaibanSettei &settings, int fiscalYearStart,
              const QDate &date, int key = 0, const QString &typed = QString());

} // namespace Numbering
