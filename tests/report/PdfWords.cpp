#include "PdfWords.h"

#include <algorithm>
#include <QProcess>
#include <QRegularExpression>

namespace {

constexpr double kUnitsPerPoint = 1 / 0.75;

QString runPdftotext(const QString &fileName)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-enc"),
                                                QStringLiteral("UTF-8"), fileName, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString unescaped(QString text)
{
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&apos;"), QLatin1String("'"));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

bool sameLine(const PdfWord &a, const PdfWord &b)
{
    return a.page == b.page && qAbs(a.box.center().y() - b.box.center().y()) < 4;
}

} // namespace

QList<PdfWord> pdfWords(const QString &fileName)
{
    static const QRegularExpression tag(QStringLiteral(
        "<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">"
        "([^<]*)</word>"));
    QList<PdfWord> words;
    int page = 0;
    const QString output = runPdftotext(fileName);
    for (auto it = tag.globalMatch(output); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF bottomRight(m.captured(3).toDouble(), m.captured(4).toDouble());
        words.append(
            {page, unescaped(m.captured(5)), QRectF(topLeft * kUnitsPerPoint, bottomRight * kUnitsPerPoint)});
    }
    return words;
}

int pdfPageCount(const QString &fileName)
{
    return runPdftotext(fileName).count(QLatin1String("<page "));
}

// The words of each printed line (same page, about the same height), left to right. pdftotext
// gives them in its reading order, in which items side by side may interleave.
static QList<QList<PdfWord>> lines(const QList<PdfWord> &words, int page)
{
    QList<PdfWord> sorted;
    for (const PdfWord &w : words)
        if (page == 0 || w.page == page)
            sorted.append(w);
    std::stable_sort(sorted.begin(), sorted.end(), [](const PdfWord &a, const PdfWord &b) {
        return a.page != b.page ? a.page < b.page : a.box.center().y() < b.box.center().y();
    });
    QList<QList<PdfWord>> result;
    for (const PdfWord &w : sorted) {
        if (result.isEmpty() || !sameLine(result.last().first(), w))
            result.append(QList<PdfWord>());
        result.last().append(w);
    }
    for (QList<PdfWord> &line : result)
        std::stable_sort(line.begin(), line.end(),
                         [](const PdfWord &a, const PdfWord &b) { return a.box.left() < b.box.left(); });
    return result;
}

QList<PdfWord> findPhrases(const QList<PdfWord> &words, const QString &text, int page)
{
    QList<PdfWord> found;
    for (const QList<PdfWord> &line : lines(words, page)) {
        for (qsizetype i = 0; i < line.size(); ++i) {
            PdfWord run = line[i];
            for (qsizetype j = i + 1; j < line.size() && run.text != text && text.startsWith(run.text); ++j) {
                run.text += u' ' + line[j].text;
                run.box = run.box.united(line[j].box);
            }
            if (run.text == text)
                found.append(run);
        }
    }
    return found;
}

std::optional<PdfWord> findPhrase(const QList<PdfWord> &words, const QString &text, int page)
{
    const QList<PdfWord> found = findPhrases(words, text, page);
    if (found.isEmpty())
        return std::nullopt;
    return found.first();
}

bool liesWithin(const std::optional<PdfWord> &word, const QRectF &area, double slack)
{
    return word && area.adjusted(-slack, -slack, slack, slack).contains(word->box);
}

QString describe(const std::optional<PdfWord> &word)
{
    if (!word)
        return QStringLiteral("not found");
    const QRectF &b = word->box;
    return QStringLiteral("\"%1\" on page %2 at (%3, %4)-(%5, %6)")
        .arg(word->text)
        .arg(word->page)
        .arg(b.left(), 0, 'f', 1)
        .arg(b.top(), 0, 'f', 1)
        .arg(b.right(), 0, 'f', 1)
        .arg(b.bottom(), 0, 'f', 1);
}
