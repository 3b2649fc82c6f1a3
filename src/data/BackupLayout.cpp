#include "data/BackupLayout.h"

#include "data/Engine.h"
#include "data/Schema.h"

#include <QDir>
#include <QRegularExpression>

namespace BackupLayout {

namespace {

// The column that the start adds to the customer table of an older database besides the tax columns.
bool addedAtStart(const Schema::Table &table, const char *column)
{
    return qstrcmp(table.name, "Torihikisaki") == 0 && qstrcmp(column, "Keisyo") == 0;
}

QString unquoted(QString name)
{
    name.remove(QLatin1Char('"'));
    return name.section(QLatin1Char('.'), -1).toLower();
}

} // namespace

QStringList missing(const Tables &tables)
{
    QStringList lacking;
    for (const Schema::Table &table : Schema::tables()) {
        const QString name = QString::fromLatin1(table.name);
        const auto found = tables.constFind(name.toLower());
        if (found == tables.constEnd()) {
            lacking.append(name);
            continue;
        }
        for (const Schema::Column &column : table.columns)
            if (!addedAtStart(table, column.name) &&
                !found->contains(QString::fromLatin1(column.name).toLower()))
                lacking.append(name + QLatin1Char('.') + QLatin1String(column.name));
    }
    return lacking;
}

Tables fromCreateStatements(const QString &script)
{
    static const QRegularExpression create(QStringLiteral("^CREATE TABLE ([^ ]+) \\(\\n(.*?)\\n\\);"),
                                           QRegularExpression::MultilineOption |
                                               QRegularExpression::DotMatchesEverythingOption);
    Tables tables;
    for (const QRegularExpressionMatch &m : create.globalMatch(script)) {
        QStringList columns;
        for (const QString &line : m.captured(2).split(QLatin1Char('\n'))) {
            const QString first = line.trimmed().section(QLatin1Char(' '), 0, 0);
            if (!first.isEmpty() && first != QLatin1String("CONSTRAINT"))
                columns.append(unquoted(first));
        }
        tables.insert(unquoted(m.captured(1)), columns);
    }
    return tables;
}

void refuseUnlessEmpty(const QString &file, const QStringList &missing)
{
    if (missing.isEmpty())
        return;
    QStringList shown = missing.mid(0, 6);
    if (missing.size() > shown.size())
        shown.append(QStringLiteral("ほか %1 件").arg(missing.size() - shown.size()));
    throw AppError(QStringLiteral("%1 はこのプログラムのバックアップではないため、復元できません。\n"
                                  "足りないテーブル・列: %2")
                       .arg(QDir::toNativeSeparators(file), shown.join(QStringLiteral("、"))));
}

} // namespace BackupLayout
