#pragma once
// The invoice run as a window starts it: a progress dialog over the window while the customers are
// billed, then one message: how many invoices were made, and the customers skipped with their reason.
// The run's window (請求書データ作成) and the main window's 納品書から請求書作成 both start it so.
#include <functional>
#include <QDate>
#include <QList>
#include <QString>

class QWidget;

namespace InvoiceRunCommand {

inline const QString kNoClosingDate = QStringLiteral("請求締日を入力してください");

// Bills the customers up to the closing date and returns the keys of the invoices made; step is told
// the customers done of the total as the run goes. A failure shows "データ作成に失敗しました" and is
// raised again as AppError with the engine's message; the customers before it stay billed.
QList<int> run(QWidget *parent, const QList<int> &customers, const QDate &closing,
               const std::function<void(int done, int total)> &step = {});

} // namespace InvoiceRunCommand
