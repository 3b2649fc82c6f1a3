#include "documents/BilledDocuments.h"

namespace BilledDocuments {

namespace {

// The same line separator as the deletion's questions.
const QString kSeparator = QStringLiteral("\n\r");

QString nameOf(Kind kind)
{
    return kind == Kind::DeliveryNote ? QStringLiteral("納品書") : QStringLiteral("入金");
}

QString changedItems(Kind kind)
{
    // A stored delivery note keeps its customer; a payment's customer can be picked again.
    return kind == Kind::DeliveryNote ? QStringLiteral("金額・日付") : QStringLiteral("金額・取引先・日付");
}

const QString kRemedy = QStringLiteral("変更を請求に反映するには、最新の請求書を削除して"
                                       "請求書データ作成をやり直してください");

} // namespace

QString openedNotice(Kind kind)
{
    return QStringLiteral("この%1は請求書発行済みです。").arg(nameOf(kind)) + kSeparator +
           QStringLiteral("%1を変更しても請求書は変わりません").arg(changedItems(kind));
}

QString changeQuestion(Kind kind)
{
    return QStringLiteral("請求書発行済みですが変更してもよろしいですか？") + kSeparator +
           QStringLiteral("この%1の%2を変更しても請求書は変わりません。")
               .arg(nameOf(kind), changedItems(kind)) +
           kRemedy;
}

void checkUnchanged(Kind kind, int key, int openedSeikyuKey, int storedSeikyuKey)
{
    if (openedSeikyuKey == storedSeikyuKey)
        return;
    const QString what = storedSeikyuKey != 0
                             ? QStringLiteral("この%1（Key %2）は、開いた後にほかのコンピュータで請求書に"
                                              "計上されました。")
                             : QStringLiteral("この%1（Key %2）を計上していた請求書は、開いた後にほかの"
                                              "コンピュータで削除されました。");
    throw ChangedMeanwhile(
        what.arg(nameOf(kind)).arg(key) +
            QStringLiteral("変更は保存していません。\r\n内容を確かめて、もう一度保存してください"),
        storedSeikyuKey);
}

} // namespace BilledDocuments
