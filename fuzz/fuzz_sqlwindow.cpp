// The SQL window's statement rules, fed any text: every text gets a verdict, and a schema change
// that would run as a statement of its own after the text is never let through.
#include "data/SqlText.h"
#include "data/SqlWindowRules.h"

#include <cstdlib>

using SqlWindowRules::Verdict;

namespace {

bool runs(Verdict verdict)
{
    return verdict == Verdict::Open || verdict == Verdict::AskAndRun;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const Verdict verdict = SqlWindowRules::classify(text);
    if (runs(verdict) != SqlWindowRules::refusalMessage(verdict).isEmpty())
        std::abort();

    const QStringList statements = SqlText::splitStatements(text);
    for (const QString &statement : statements) {
        if (statement.isEmpty() || statement != statement.trimmed())
            std::abort();
        SqlText::toPositional(statement);
        SqlText::pageableSelect(statement);
        SqlText::withGroupOrder(statement);
    }

    // When the text ends outside a quote or comment, an appended drop is a statement of its own
    // and must be refused.
    const QString withDrop = text + QStringLiteral(";\nDROP TABLE Tokui");
    if (SqlText::splitStatements(withDrop).size() == statements.size() + 1 &&
        runs(SqlWindowRules::classify(withDrop)))
        std::abort();
    return 0;
}
