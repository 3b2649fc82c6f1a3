#pragma once
// Deleting an estimate, a delivery note or a payment from the main window: the questions the user
// is asked and the deletion itself, in one durable transaction.
#include <QDate>
#include <QString>

class TEngineDatabase;

namespace DocumentDeletion {

enum class Kind { Estimate, DeliveryNote, Payment };

enum class Outcome {
    Deleted,
    AlreadyGone, // another computer deleted it since the list was read; nothing was changed
};

// Asked first when the delivery note or payment has been invoiced.
extern const QString kInvoicedWarning;
extern const QString kFailedMessage;

// "2026/01/05", customer, subject, "の見積りを削除します。", "よろしいですか？" on their lines.
QString estimateQuestion(const QDate &date, const QString &customer, const QString &title);
// The same with the amount "¥12,345" in place of the subject.
QString deliveryNoteQuestion(const QDate &date, const QString &customer, qint64 amount);
QString paymentQuestion(const QDate &date, const QString &customer, qint64 amount);

// Told when the document was no longer there.
QString alreadyGoneMessage(Kind kind);

// Deletes the document with its lines. Raises when the engine fails; then nothing is deleted.
Outcome remove(TEngineDatabase &db, Kind kind, int key);

} // namespace DocumentDeletion
