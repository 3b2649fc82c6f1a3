#include "SampleFile.h"

#include "masters/PostalFile.h"

#include <QFile>
#include <QList>
#include <stdexcept>

namespace {

QList<QByteArray> sampleLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read the postal sample");
    QList<QByteArray> lines;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (!line.trimmed().isEmpty())
            lines.append(line.trimmed());
    }
    return lines;
}

// The same line with field 3 (the quoted seven-digit code) replaced.
QByteArray withCode(const QByteArray &line, int code)
{
    const qsizetype first = line.indexOf(',');
    const qsizetype second = line.indexOf(',', first + 1);
    const qsizetype third = line.indexOf(',', second + 1);
    return line.left(second + 1) + '"' + QByteArray::number(code).rightJustified(7, '0') + '"' +
           line.mid(third);
}

} // namespace

void writeNationalSizedFile(const QString &samplePath, const QString &outPath, int lines)
{
    const QList<QByteArray> sample = sampleLines(samplePath);
    QFile out(outPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write the generated postal file");
    for (int i = 0; i < lines; ++i) {
        // Codes spread over the whole range, a few of them shared by neighbouring lines as in the real file.
        const int code = int((qint64(i / 3) * 241 + 10007) % 10000000);
        out.write(withCode(sample[i % sample.size()], code));
        out.write("\r\n");
    }
}

qint64 writeImportCsv(const QString &postalPath, const QString &csvPath)
{
    QFile in(postalPath);
    QFile out(csvPath);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot prepare the CSV for sqlite3");
    PostalFileReader reader(in);
    PostalRecord record;
    qint64 rows = 0;
    while (reader.next(record)) {
        QString address = record.jyusyo;
        address.replace(QLatin1Char('"'), QLatin1String("\"\""));
        out.write(QByteArray::number(record.yubin) + ",\"" + address.toUtf8() + "\"\n");
        ++rows;
    }
    return rows;
}
