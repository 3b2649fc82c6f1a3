#include "common/TextFiles.h"

#include "common/AppError.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace {

// The bytes decoded as UTF-8, or else as CP932; nothing when they are neither.
std::optional<QString> decodeStrictly(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    // ICU knows CP932 as "windows-31j"; plain Shift_JIS where it does not.
    QStringDecoder cp932("windows-31j", QStringConverter::Flag::Stateless);
    if (!cp932.isValid())
        cp932 = QStringDecoder("Shift_JIS", QStringConverter::Flag::Stateless);
    if (cp932.isValid()) {
        const QString windowsText = cp932(bytes);
        if (!cp932.hasError())
            return windowsText;
    }
    return std::nullopt;
}

} // namespace

QString decodeUtf8OrCp932(const QByteArray &bytes)
{
    if (std::optional<QString> text = decodeStrictly(bytes))
        return *text;
    return QString::fromUtf8(bytes);
}

bool isText(const QByteArray &bytes)
{
    const std::optional<QString> text = decodeStrictly(bytes);
    if (!text)
        return false;
    return std::none_of(text->cbegin(), text->cend(), [](QChar c) {
        return (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c.unicode() == 0x7f;
    });
}

QString readTextFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("ファイルを開けません．\r\n%1\r\n%2").arg(path, file.errorString()));
    QString text = decodeUtf8OrCp932(file.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}
