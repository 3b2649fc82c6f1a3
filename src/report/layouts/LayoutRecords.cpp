#include "report/layouts/LayoutRecords.h"

#include "common/PictureBytes.h"
#include "data/Engine.h"
#include "masters/OwnCompanyStore.h"

namespace {

void runKeyed(TEngineQuery &query, const QString &table)
{
    query.clearSql();
    query.addSql(QStringLiteral("select * from ") + table);
    query.addSql(QStringLiteral("where key = 0"));
    query.Open();
}

LayoutCompany companyView(const OwnCompanyRecord &row)
{
    LayoutCompany c;
    c.name = row.JisyaNM;
    c.yubin = row.Yubin;
    c.jyusyo1 = row.Jyusyo1;
    c.jyusyo2 = row.Jyusyo2;
    c.tel = row.Tel;
    c.fax = row.Fax;
    c.busyo = row.Busyo;
    PictureBytes::Decoded seal = PictureBytes::decode(row.Inei);
    c.seal = std::move(seal.picture);
    c.sealUnreadable = seal.unreadable;
    c.sealHeight = row.Height;
    c.sealWidth = row.Width;
    for (int i = 0; i < 3; ++i) {
        const BankAccount &a = row.accounts[i];
        c.accounts[i] = QStringList{a.KinyuKikan, a.Tenpo, a.Syumoku, a.Kouza};
    }
    c.tax = row.tax;
    const QString number = row.tax.registrationNumber.trimmed();
    if (row.tax.enabled && !number.isEmpty())
        c.registrationLine = QStringLiteral("登録番号：") + number;
    return c;
}

} // namespace

LayoutCompany readCompany(TEngineDatabase &db)
{
    const std::optional<OwnCompanyRecord> row = OwnCompanyStore::load(db);
    return row ? companyView(*row) : LayoutCompany();
}

LayoutSettings readSettings(TEngineQuery &query, const QString &table, bool withRemarks)
{
    runKeyed(query, table);
    LayoutSettings s;
    if (!query.IsEmpty()) {
        s.top = query.integer("top");
        s.left = query.integer("left");
        s.height = query.integer("Height");
        s.width = query.integer("width");
        if (withRemarks)
            s.remarks = query.lines("Bikou");
    }
    query.Close();
    return s;
}

LayoutCustomer readCustomer(TEngineQuery &query, int key)
{
    query.clearSql();
    query.addSql(QStringLiteral("select * from torihikisaki"));
    query.addSql(QStringLiteral("where key = :key"));
    query.ParamByName(QStringLiteral("key")).setAsInteger(key);
    query.Open();
    LayoutCustomer c;
    if (!query.IsEmpty()) {
        c.name = query.text("TorihikisakiNM");
        c.keisyo = query.text("Keisyo");
        c.yubin = query.text("Yubin");
        c.jyusyo1 = query.text("Jyusyo1");
        c.jyusyo2 = query.text("Jyusyo2");
        c.busyo = query.text("Busyo");
        c.tantosya = query.text("Tantosya");
    }
    query.Close();
    return c;
}

QString remarksText(const QStringList &lines)
{
    QString out;
    for (const QString &line : lines)
        out += line + QStringLiteral("\r\n");
    return out;
}
