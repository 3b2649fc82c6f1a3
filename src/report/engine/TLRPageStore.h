#pragma once
// Rendered preview pages, kept compressed (PNG, lossless) one after another in a private
// temporary file; only the page asked for is decoded back into memory.
#include <memory>
#include <QImage>
#include <QList>
#include <QTemporaryFile>

class TLRPageStore
{
public:
    TLRPageStore();
    ~TLRPageStore();

    // Starts over with a new, empty temporary file; the previous one is deleted.
    // Raises AppError when no temporary file can be created.
    void reset();
    // Appends a page and returns its index (0-based). Raises AppError when the disk is full.
    int append(const QImage &page);
    QImage read(int index) const;
    int count() const { return static_cast<int>(m_offsets.size()); }
    qint64 fileSize() const { return m_end; }
    QString fileName() const { return m_file ? m_file->fileName() : QString(); }

private:
    std::unique_ptr<QTemporaryFile> m_file;
    QList<qint64> m_offsets;
    QList<qint64> m_sizes;
    qint64 m_end = 0;
};
