#include "data/SqlWindowRules.h"

#include "common/AppError.h"
#include "common/TextFiles.h"
#include "data/Engine.h"
#include "data/SqlText.h"

#include <optional>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace SqlWindowRules {
namespace {

// The statement's leading word in upper case, after blanks and comments.
QString leadingText(const QString &statement)
{
    qsizetype i = 0;
    while (i < statement.size()) {
        if (statement.at(i).isSpace()) {
            ++i;
        } else if (statement.mid(i, 2) == QLatin1String("--")) {
            const qsizetype end = statement.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? statement.size() : end + 1;
        } else if (statement.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype end = statement.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? statement.size() : end + 2;
        } else {
            break;
        }
    }
    return statement.mid(i).toUpper();
}

// The refusal of a schema change, checked in the order CREATE, ALTER, DROP.
std::optional<Verdict> schemaChange(const QString &upper)
{
    if (upper.startsWith(QLatin1String("CREATE")))
        return Verdict::RefuseCreate;
    if (upper.startsWith(QLatin1String("ALTER")))
        return Verdict::RefuseAlter;
    if (upper.startsWith(QLatin1String("DROP")))
        return Verdict::RefuseDrop;
    return std::nullopt;
}

bool isDataChange(const QString &upper)
{
    for (const char *word : {"DELETE", "UPDATE", "INSERT"})
        if (upper.startsWith(QLatin1String(word)))
            return true;
    return false;
}

Verdict classifyFirstLine(const QString &text)
{
    const QString first = text.section(QLatin1Char('\n'), 0, 0).trimmed().toUpper();
    if (const auto refused = schemaChange(first))
        return *refused;
    if (first.startsWith(QLatin1String("SELECT")))
        return Verdict::Open;
    return isDataChange(first) ? Verdict::AskAndRun : Verdict::Invalid;
}

QString cellText(const TEngineField &field)
{
    if (field.kind() == TEngineField::Kind::Blob)
        return QString();
    QString text = field.AsString();
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

QString columnTitle(TEngineQuery &query, int column)
{
    const QString name = query.FieldName(column);
    for (const TFieldDef &def : query.FieldDefs())
        if (!def.label.isEmpty() && def.name.compare(name, Qt::CaseInsensitive) == 0)
            return def.label;
    return name;
}

} // namespace

Verdict classify(const QString &text)
{
    const Verdict verdict = classifyFirstLine(text);
    if (verdict != Verdict::Open && verdict != Verdict::AskAndRun)
        return verdict;
    const QStringList statements = SqlText::splitStatements(text);
    for (qsizetype i = 1; i < statements.size(); ++i) {
        const QString upper = leadingText(statements.at(i));
        if (const auto refused = schemaChange(upper))
            return *refused;
        if (verdict == Verdict::Open || !isDataChange(upper))
            return Verdict::Invalid;
    }
    return verdict;
}

ReadOnlyScope::ReadOnlyScope(TEngineDatabase &db) : m_db(db)
{
    m_db.ExecDirect(m_db.dialect() == TEngineDialect::PostgreSQL
                        ? QStringLiteral("SET default_transaction_read_only = on")
                        : QStringLiteral("PRAGMA query_only = ON"));
}

ReadOnlyScope::~ReadOnlyScope()
{
    try {
        m_db.ExecDirect(m_db.dialect() == TEngineDialect::PostgreSQL
                            ? QStringLiteral("RESET default_transaction_read_only")
                            : QStringLiteral("PRAGMA query_only = OFF"));
    } catch (const AppError &) {
        // The connection is gone; a new one starts writable.
    }
}

QString refusalMessage(Verdict verdict)
{
    switch (verdict) {
    case Verdict::RefuseCreate:
        return QStringLiteral("CREATE操作は禁止です");
    case Verdict::RefuseAlter:
        return QStringLiteral("ALTER操作は禁止です");
    case Verdict::RefuseDrop:
        return QStringLiteral("DROP操作は禁止です");
    case Verdict::Invalid:
        return QStringLiteral("SQL文に誤りがあります");
    case Verdict::Open:
    case Verdict::AskAndRun:
        break;
    }
    return QString();
}

QString confirmText()
{
    return QStringLiteral("このSQLはﾃﾞｰﾀを変更する可能性があります\r\n続行しますか？");
}

QString copyText(TEngineQuery &query)
{
    const QChar tab = QLatin1Char('\t');
    const QChar lf = QLatin1Char('\n'); // the line end every program on this system reads
    QString text;
    const int columns = query.FieldCount();
    for (int c = 0; c < columns; ++c)
        text += (c ? QString(tab) : QString()) + columnTitle(query, c);
    text += lf;
    const int rows = query.fetchedRowCount();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            text += (c ? QString(tab) : QString()) + cellText(query.fieldAt(r, c));
        text += lf;
    }
    return text;
}

QString readStatementFile(const QString &path)
{
    QString text = readTextFile(path);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1); // the last line's end, not an empty line after it
    return text;
}

void writeStatementFile(const QString &path, const QString &text)
{
    QSaveFile file(path);
    QByteArray bytes = text.toUtf8();
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        bytes += '\n';
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw AppError(
            QStringLiteral("ファイルに書き込めません．\r\n%1\r\n%2").arg(path, file.errorString()));
}

QString withDefaultExtension(const QString &path)
{
    return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".SQL") : path;
}

} // namespace SqlWindowRules
