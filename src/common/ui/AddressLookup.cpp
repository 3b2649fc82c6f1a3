#include "common/ui/AddressLookup.h"

#include "common/ui/TFyubinSel.h"
#include "controls/Messages.h"
#include "data/TDMdata.h"
#include "masters/PostalLookup.h"

#include <QLineEdit>

namespace {

void takeAddress(QLineEdit *Jyusyo1, const QString &address)
{
    Jyusyo1->setText(address);
    // The user asked for the address: it counts as typed, so closing the window asks first.
    Q_EMIT Jyusyo1->textEdited(address);
    Jyusyo1->setFocus();
}

void lookUp(QWidget *window, int code, QLineEdit *Jyusyo1)
{
    TEngineDatabase &db = *DMdata->DataDB;
    if (!PostalLookup::isLoaded(db)) {
        Messages::information(window, QString::fromUtf8(kPostalDataNotLoaded));
        return;
    }
    if (PostalLookup::countAddresses(db, code) < 2) {
        takeAddress(Jyusyo1, PostalLookup::addresses(db, code).value(0));
        return;
    }
    TFyubinSel dialog(window);
    dialog.setYubinCode(code);
    if (dialog.exec() == QDialog::Accepted)
        takeAddress(Jyusyo1, dialog.jyusyo());
}

} // namespace

const char *const kPostalDataNotLoaded = "郵便番号データが読み込まれていないため、住所を検索できません。\r\n"
                                         "メイン画面の「各種設定」ページにある「郵便番号データ読み込み」で、"
                                         "日本郵便の郵便番号データ（KEN_ALL.CSV）を読み込んでください。";

void lookUpAddress(QWidget *window, const QLineEdit *Yubin, QLineEdit *Jyusyo1)
{
    Messages::guarded(window, [&] {
        if (const std::optional<int> code = PostalLookup::searchCode(Yubin->text()))
            lookUp(window, *code, Jyusyo1);
    });
}
