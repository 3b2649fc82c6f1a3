#pragma once
// Words of a PDF file with their places, read back through `pdftotext -bbox`, in layout units
// (1/96 inch, 0.75 pt), so that tests check where a text is printed, not only that it is.
#include <optional>
#include <QList>
#include <QRectF>
#include <QString>

struct PdfWord
{
    int page = 0; // 1-based
    QString text;
    QRectF box; // layout units from the paper's top-left corner
};

// Every word of every page, in the order pdftotext gives them (reading order).
QList<PdfWord> pdfWords(const QString &fileName);
int pdfPageCount(const QString &fileName);

// The first run of neighbouring words on one printed line of `page` (0: any page) that reads
// `text` when joined with single blanks, left to right; its box is the union of theirs.
std::optional<PdfWord> findPhrase(const QList<PdfWord> &words, const QString &text, int page = 0);
// All such runs.
QList<PdfWord> findPhrases(const QList<PdfWord> &words, const QString &text, int page = 0);

// True when the word was found and its box lies within `area` (layout units on the page), give or
// take `slack` units for the font's ascent and descent.
bool liesWithin(const std::optional<PdfWord> &word, const QRectF &area, double slack = 3);

// "text" on page p at (x, y)–(right, bottom), for failure messages.
QString describe(const std::optional<PdfWord> &word);
