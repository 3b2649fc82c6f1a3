#include "report/LayoutRecords.h"

#include "data/Engine.h"
#include "report/PictureBytes.h"

namespace {

void runKeyed(TEngineQuery &query, const QString &table)
{
    query.clearSql();
    query.addSql(QStringLiteral("select * from ") + table);
    query.addSql(QStringLiteral("where key = 0"));
    query.Open();
}

QString text(const TEngineQuery &query, const char *field)
{
    return query.FieldByName(QLatin1String(field)).AsString();
}

} // namespace

LayoutCompany readCompany(TEngineQuery &query)
{
    runKeyed(query, QStringLiteral("jisyaJyoho"));
    LayoutCompany c;
    if (query.IsEmpty()) {
        query.Close();
        return c;
    }
    c.name = text(query, "JisyaNM");
    c.yubin = text(query, "Yubin");
    c.jyusyo1 = text(query, "Jyusyo1");
    c.jyusyo2 = text(query, "Jyusyo2");
    c.tel = text(query, "Tel");
    c.fax = text(query, "Fax");
    c.busyo = text(query, "Busyo");
    PictureBytes::Decoded seal = PictureBytes::decode(query.FieldByName(QStringLiteral("inei")).AsBytes());
    c.seal = std::move(seal.picture);
    c.sealUnreadable = seal.unreadable;
    c.sealHeight = query.FieldByName(QStringLiteral("Height")).AsInteger();
    c.sealWidth = query.FieldByName(QStringLiteral("Width")).AsInteger();
    for (int i = 0; i < 3; ++i) {
        const QString n = QString::number(i + 1);
        for (const char *field : {"KinyuKikan", "Tenpo", "Syumoku", "Kouza"})
            c.accounts[i].append(query.FieldByName(QLatin1String(field) + n).AsString());
    }
    query.Close();
    return c;
}

LayoutSettings readSettings(TEngineQuery &query, const QString &table, bool withRemarks)
{
    runKeyed(query, table);
    LayoutSettings s;
    if (!query.IsEmpty()) {
        s.top = query.FieldByName(QStringLiteral("top")).AsInteger();
        s.left = query.FieldByName(QStringLiteral("left")).AsInteger();
        s.height = query.FieldByName(QStringLiteral("Height")).AsInteger();
        s.width = query.FieldByName(QStringLiteral("width")).AsInteger();
        if (withRemarks)
            s.remarks = query.FieldByName(QStringLiteral("Bikou")).AsLines();
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
        c.name = text(query, "TorihikisakiNM");
        c.keisyo = text(query, "Keisyo");
        c.yubin = text(query, "Yubin");
        c.jyusyo1 = text(query, "Jyusyo1");
        c.jyusyo2 = text(query, "Jyusyo2");
        c.busyo = text(query, "Busyo");
        c.tantosya = text(query, "Tantosya");
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
