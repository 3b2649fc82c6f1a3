#include "common/PostalLookup.h"

#include "common/Ukansu.h"
#include "data/Engine.h"

namespace PostalLookup {

QString searchText(QStringView yubin)
{
    QString text;
    for (QChar c : yubin) {
        if (IsDigitsOrPoint(QStringView(&c, 1)))
            text.append(c);
    }
    return text;
}

std::optional<int> searchCode(QStringView yubin)
{
    const QString text = searchText(yubin);
    if (!IsDigitsOrPoint(text))
        return std::nullopt;
    return TextToInteger(text);
}

int countAddresses(TEngineDatabase &db, int code)
{
    TEngineQuery q(&db);
    q.addSql(QStringLiteral("select count(*) count from Address"));
    q.addSql(QStringLiteral("where Yubin = :Yubin"));
    q.ParamByName(QStringLiteral("Yubin")).setAsInteger(code);
    q.Open();
    return q.Field(0).AsInteger();
}

QStringList addresses(TEngineDatabase &db, int code)
{
    TEngineQuery q(&db);
    q.addSql(QStringLiteral("select * from Address"));
    q.addSql(QStringLiteral("where Yubin = :Yubin"));
    q.ParamByName(QStringLiteral("Yubin")).setAsInteger(code);
    q.Open();
    QStringList result;
    for (; !q.Eof(); q.Next())
        result.append(q.FieldByName(QStringLiteral("Jyusyo")).AsString());
    return result;
}

} // namespace PostalLookup
