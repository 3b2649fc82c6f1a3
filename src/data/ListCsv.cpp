#include "data/ListCsv.h"

#include "data/Engine.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

namespace {

// Why a file could not be written, in words: a full disk gives no reason of its own on every system
// ("Unknown error"), so the free space of the folder is asked.
QString writeFailure(const QString &path, qint64 size, const QString &reason)
{
    const QStorageInfo storage(QFileInfo(path).absolutePath());
    if (storage.isValid() && storage.bytesAvailable() < size + 4096)
        return QStringLiteral(
                   "ディスクの空きが足りないため、書き込めませんでした（%1 バイトが必要、空きは %2 バイト）")
            .arg(size)
            .arg(storage.bytesAvailable());
    if (reason.isEmpty() || reason == QLatin1String("Unknown error"))
        return QStringLiteral("書き込み中にエラーが起きました");
    return reason;
}

} // namespace

namespace ListCsv {

QList<QStringList> collect(TEngineQuery &q, const QList<TFieldDef> &columns)
{
    QStringList header;
    for (const TFieldDef &c : columns)
        header.append(c.label.isEmpty() ? c.name : c.label);
    QList<QStringList> out{header};
    for (q.First(); !q.Eof(); q.Next()) {
        QStringList row;
        row.reserve(columns.size());
        // Plain numbers without grouping, dates yyyy/mm/dd, nothing for a NULL (a product without a
        // price stays without one).
        for (const TFieldDef &c : columns) {
            const TEngineField field = q.FieldByName(c.name);
            row.append(field.IsNull() ? QString() : field.AsString());
        }
        out.append(row);
    }
    return out;
}

QList<TFieldDef> shownColumns(const QList<TFieldDef> &defs)
{
    QList<TFieldDef> shown;
    for (const TFieldDef &d : defs)
        if (d.visible)
            shown.append(d);
    return shown;
}

QList<QStringList> listRows(TEngineQuery &list)
{
    return listRows(list, shownColumns(list.FieldDefs()));
}

QList<QStringList> listRows(TEngineQuery &list, const QList<TFieldDef> &columns)
{
    TEngineQuery q(list.database());
    q.setSql(list.SQL());
    for (const QString &name : q.paramNames())
        q.ParamByName(name).setValue(list.ParamByName(name).value());
    q.Open();
    return collect(q, columns);
}

void write(const QString &path, const QList<QStringList> &rows, Csv::Encoding encoding)
{
    const QByteArray bytes = Csv::encode(rows, encoding);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw AppError(
            QStringLiteral("%1 に書き込めません\n%2")
                .arg(QDir::toNativeSeparators(path), writeFailure(path, bytes.size(), file.errorString())));
}

} // namespace ListCsv
