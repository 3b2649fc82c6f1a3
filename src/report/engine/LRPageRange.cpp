#include "report/engine/LRPageRange.h"

std::optional<int> pageFieldValue(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return 0;
    bool ok = false;
    const int value = trimmed.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

QString pageFieldText(int page)
{
    return page == 0 ? QString() : QString::number(page);
}

QString notAnIntegerMessage(const QString &text)
{
    return QStringLiteral("'%1' は整数ではありません").arg(text);
}
