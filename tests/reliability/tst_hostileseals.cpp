// Damaged seal pictures: JPEG, bitmap and PNG files cut short, zeroed, with a wrong magic number or
// declaring a huge picture. Chosen in the own-company window, each is refused with a message naming
// the file and the stored seal stays; kept as the stored seal (as a damaged disk or another program
// might leave it), the window warns and the seal sheet prints without it, telling so once.
#include "common/PictureBytes.h"
#include "controls/Messages.h"
#include "controls/TFlatButton.h"
#include "LayoutRun.h"
#include "masters/OwnCompanyStore.h"
#include "masters/ui/TFjisyaJyoho.h"
#include "RandomBytes.h"
#include "report/engine/TLightRep.h"
#include "report/layouts/IneiLayouts.h"
#include "SaidMessages.h"
#include "TestDatabase.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray encoded(const char *format, QSize size = QSize(64, 64))
{
    QImage red(size, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, format);
    return bytes;
}

void putBigEndian(QByteArray &bytes, qsizetype at, quint32 value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes[at + i] = char((value >> (8 * (size - 1 - i))) & 0xFF);
}

void putLittleEndian(QByteArray &bytes, qsizetype at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char((value >> (8 * i)) & 0xFF);
}

quint32 crc32(QByteArrayView bytes)
{
    quint32 crc = 0xFFFFFFFF;
    for (const char c : bytes) {
        crc ^= uchar(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
    }
    return ~crc;
}

// A JPEG whose frame header declares the size: the picture data stays that of 64 x 64.
QByteArray jpegDeclaring(int width, int height)
{
    QByteArray bytes = encoded("JPEG");
    const qsizetype frame = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    putBigEndian(bytes, frame + 5, quint32(height), 2);
    putBigEndian(bytes, frame + 7, quint32(width), 2);
    return bytes;
}

QByteArray bitmapDeclaring(int width, int height)
{
    QByteArray bytes = encoded("BMP");
    putLittleEndian(bytes, 18, quint32(width));
    putLittleEndian(bytes, 22, quint32(height));
    return bytes;
}

// The header chunk keeps a correct checksum, so that the reader goes on to the size.
QByteArray pngDeclaring(int width, int height)
{
    QByteArray bytes = encoded("PNG");
    putBigEndian(bytes, 16, quint32(width), 4);
    putBigEndian(bytes, 20, quint32(height), 4);
    putBigEndian(bytes, 29, crc32(QByteArrayView(bytes).sliced(12, 17)), 4);
    return bytes;
}

QByteArray withMagic(QByteArray bytes, const QByteArray &magic)
{
    bytes.replace(0, magic.size(), magic);
    return bytes;
}

} // namespace

class TestHostileSeals : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    QTemporaryDir m_dir;

    void storeSeal(const QByteArray &bytes)
    {
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("update JisyaJyoho set Inei = :Inei where key = 0"));
        q.ParamByName(QStringLiteral("Inei")).setAsBlob(bytes);
        q.ExecSQL();
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        OwnCompanyStore::loadOrCreate(t->db());
        said();
    }
    void cleanup() { t.reset(); }

    void damagedSeals_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray jpeg = encoded("JPEG");
        const QByteArray bitmap = encoded("BMP");
        const QByteArray png = encoded("PNG");
        QTest::addRow("empty file") << QByteArray();
        QTest::addRow("random bytes") << randomBytes(4096, 18);
        QTest::addRow("JPEG cut in half") << jpeg.left(jpeg.size() / 2);
        QTest::addRow("JPEG cut after its start marker") << jpeg.left(4);
        QTest::addRow("JPEG without its end marker") << jpeg.chopped(2);
        QTest::addRow("JPEG of zero bytes") << QByteArray(jpeg.size(), '\0');
        QTest::addRow("JPEG with a wrong magic number") << withMagic(jpeg, "XX");
        QTest::addRow("JPEG declaring 65535 x 65535") << jpegDeclaring(65535, 65535);
        QTest::addRow("JPEG declaring 8000 x 8000") << jpegDeclaring(8000, 8000);
        QTest::addRow("JPEG declaring 0 x 0") << jpegDeclaring(0, 0);
        QTest::addRow("bitmap cut in half") << bitmap.left(bitmap.size() / 2);
        QTest::addRow("bitmap cut in its header") << bitmap.left(20);
        QTest::addRow("bitmap of zero bytes") << QByteArray(bitmap.size(), '\0');
        QTest::addRow("bitmap with a wrong magic number") << withMagic(bitmap, "XM");
        QTest::addRow("bitmap declaring 100000 x 100000") << bitmapDeclaring(100000, 100000);
        QTest::addRow("bitmap declaring 8000 x 8000") << bitmapDeclaring(8000, 8000);
        QTest::addRow("bitmap declaring a negative width") << bitmapDeclaring(-64, 64);
        QTest::addRow("PNG cut in half") << png.left(png.size() / 2);
        QTest::addRow("PNG cut after its header") << png.left(33);
        QTest::addRow("PNG of zero bytes") << QByteArray(png.size(), '\0');
        QTest::addRow("PNG with a wrong magic number") << withMagic(png, "\x89XNG");
        QTest::addRow("PNG declaring 100000 x 100000") << pngDeclaring(100000, 100000);
        QTest::addRow("PNG declaring 8000 x 8000") << pngDeclaring(8000, 8000);
    }

    // Chosen as a file: refused with a message naming it; the seal the window holds is saved.
    void damagedSeals()
    {
        QFETCH(QByteArray, bytes);
        const QString path = m_dir.filePath(QStringLiteral("seal-%1").arg(QTest::currentDataTag()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();

        storeSeal(OwnCompanyStore::blankSeal());
        {
            TFjisyaJyoho w; // a first save writes the row as the window does
            w.show();
            w.OkBTN->click();
            QCOMPARE(said(), QStringList());
        }
        const QStringList before = t->fingerprint();
        {
            TFjisyaJyoho w;
            w.show();
            w.loadSealFile(path);
            const QStringList messages = said();
            QCOMPARE(messages.size(), 1);
            QVERIFY2(
                messages[0].startsWith(QStringLiteral("「%1」は読み込める画像ではありません。").arg(path)),
                qPrintable(messages[0]));
            w.OkBTN->click();
            QCOMPARE(said(), QStringList());
        }
        QCOMPARE(t->fingerprint(), before);

        // The same bytes as the stored seal: the window warns, the sheet prints without the seal.
        storeSeal(bytes);
        const QStringList damaged = t->fingerprint();
        {
            TFjisyaJyoho w;
            w.show();
            const QStringList expected =
                bytes.isEmpty() ? QStringList() : QStringList{PictureBytes::unreadableSealShownMessage()};
            QCOMPARE(said(), expected);
        }
        TLightRep root;
        IneiTestLayout sheet(root, t->db());
        sheet.setSeal(bytes, 70, 70);
        sheet.FormShow();
        QCOMPARE(renderAllPages(sheet).size(), 1);
        const QStringList told =
            bytes.isEmpty() ? QStringList() : QStringList{PictureBytes::unreadableSealPrintMessage()};
        QCOMPARE(sheet.takeNotices(), told);
        QCOMPARE(t->fingerprint(), damaged);
    }
};

QTEST_MAIN(TestHostileSeals)
#include "tst_hostileseals.moc"
