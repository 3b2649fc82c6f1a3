#include "report/engine/TLRPageStore.h"

#include "common/AppError.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>

namespace {

// On Qt's scale of 0 (stored raw) to 100, 20 selects zlib's fastest level: a printed page is
// mostly white and packs to about a twentieth at any level, and the preview must keep pace.
constexpr int kPngCompression = 20;

} // namespace

TLRPageStore::TLRPageStore() = default;
TLRPageStore::~TLRPageStore() = default;

void TLRPageStore::reset()
{
    m_file.reset();
    m_offsets.clear();
    m_sizes.clear();
    m_end = 0;
    auto file = std::make_unique<QTemporaryFile>(QDir::temp().filePath(QStringLiteral("vLR_XXXXXX.tmp")));
    if (!file->open())
        throw AppError(
            QStringLiteral("プレビュー用の一時ファイルを作成できません．\r\n%1").arg(file->errorString()));
    m_file = std::move(file);
}

int TLRPageStore::append(const QImage &page)
{
    if (!m_file)
        reset();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setCompression(kPngCompression);
    if (!writer.write(page))
        throw AppError(QStringLiteral("プレビューのページを保存できません．"));
    if (!m_file->seek(m_end) || m_file->write(bytes) != bytes.size())
        throw AppError(
            QStringLiteral("プレビュー用の一時ファイルに書き込めません．\r\n%1").arg(m_file->errorString()));
    m_offsets.append(m_end);
    m_sizes.append(bytes.size());
    m_end += bytes.size();
    return count() - 1;
}

QImage TLRPageStore::read(int index) const
{
    if (index < 0 || index >= count() || !m_file->seek(m_offsets[index]))
        return {};
    const QByteArray bytes = m_file->read(m_sizes[index]);
    return QImage::fromData(bytes, "png");
}
