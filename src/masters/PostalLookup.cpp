#include "masters/PostalLookup.h"

#include <algorithm>

#include "common/Ukansu.h"
#include "data/Engine.h"

namespace PostalLookup {

QString searchText(QStringView yubin)
{
    QString text;
    for (QChar c : yubin) {
        // A code typed or pasted in full width is searched as the code it is, as it is stored.
        if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19)
            c = QChar(u'0' + (c.unicode() - 0xFF10));
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

QString storedCode(const QString &yubin)
{
    QString digits = yubin.trimmed();
    for (QChar &c : digits)
        if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19)
            c = QChar(u'0' + (c.unicode() - 0xFF10));
    if (digits.size() != 7 ||
        !std::all_of(digits.cbegin(), digits.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return yubin;
    return digits.left(3) + u'-' + digits.mid(3);
}

namespace {

// Opens "<select> where Yubin = :Yubin" with the code.
void openByCode(TEngineQuery &q, const QString &select, int code)
{
    q.addSql(select);
    q.addSql(QStringLiteral("where Yubin = :Yubin"));
    q.ParamByName(QStringLiteral("Yubin")).setAsInteger(code);
    q.Open();
}

} // namespace

bool isLoaded(TEngineDatabase &db)
{
    TEngineQuery q(&db);
    q.addSql(QStringLiteral("select 1 from Address limit 1"));
    q.Open();
    return !q.IsEmpty();
}

int countAddresses(TEngineDatabase &db, int code)
{
    TEngineQuery q(&db);
    openByCode(q, QStringLiteral("select count(*) count from Address"), code);
    return q.Field(0).AsInteger();
}

QStringList addresses(TEngineDatabase &db, int code)
{
    TEngineQuery q(&db);
    openByCode(q, QStringLiteral("select * from Address"), code);
    QStringList result;
    for (; !q.Eof(); q.Next())
        result.append(q.FieldByName(QStringLiteral("Jyusyo")).AsString());
    return result;
}

} // namespace PostalLookup
