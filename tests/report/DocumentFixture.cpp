#include "DocumentFixture.h"
#include "ReportTestSupport.h"

#include "data/Engine.h"
#include "data/Schema.h"

#include <QPainter>

namespace {

void bindNullable(TEngineParam &param, const QVariant &value, bool integer)
{
    if (value.isValid())
        param.setValue(value);
    else if (integer)
        param.setNullInteger();
    else
        param.setNullFloat();
}

} // namespace

QByteArray DocumentFixture::sealJpeg(int size)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 0));
    return encodedImage(image, "JPEG", 95);
}

QByteArray DocumentFixture::stripedSealJpeg()
{
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 0));
    QPainter painter(&image);
    painter.setPen(Qt::white);
    for (int y = 0; y < 64; y += 4)
        painter.drawLine(0, y, 64, y + 21);
    painter.end();
    return encodedImage(image, "JPEG", 95);
}

bool DocumentFixture::isSealRed(QRgb pixel)
{
    return qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60;
}

int DocumentFixture::nextKey(const QString &table)
{
    TEngineQuery q(&m_db);
    q.addSql(QStringLiteral("select max(key) from ") + table);
    q.Open();
    return q.Field(0).AsInteger() + 1;
}

void DocumentFixture::addCompany(const QByteArray &seal, int height, int width)
{
    TEngineQuery q(&m_db);
    q.addSql(
        QStringLiteral("insert into JisyaJyoho (key, JisyaNM, Yubin, Jyusyo1, Jyusyo2, Tel, Fax, Busyo,"));
    q.addSql(QStringLiteral(
        " SeikyuSimebi, NendoKaisiMM, inei, Height, Width, KinyuKikan1, Tenpo1, Syumoku1, Kouza1,"));
    q.addSql(
        QStringLiteral(" KinyuKikan2, Tenpo2, Syumoku2, Kouza2, Kinyukikan3, tenpo3, Syumoku3, Kouza3)"));
    q.addSql(QStringLiteral(
        "values (0, 'カドメル商店', '530-0001', '大阪市北区梅田1', '梅田ビル', '06-1234-5678',"));
    q.addSql(QStringLiteral(
        " '06-1234-5679', '営業部', 99, 4, :inei, :height, :width, 'みどり銀行', '本店', '普通',"));
    q.addSql(QStringLiteral(
        " '1234567', 'あおば銀行', '駅前支店', '当座', '7654321', 'しろ信金', '北支店', '普通', '1111111')"));
    if (seal.isEmpty())
        q.ParamByName(QStringLiteral("inei")).setNullBlob();
    else
        q.ParamByName(QStringLiteral("inei")).setAsBlob(seal);
    q.ParamByName(QStringLiteral("height")).setAsInteger(height);
    q.ParamByName(QStringLiteral("width")).setAsInteger(width);
    q.ExecSQL();
}

void DocumentFixture::addSettings(const QString &table, int top, int left, int height, int width,
                                  const QStringList &remarks)
{
    const bool withRemarks = table.compare(QLatin1String("RyosyusyouSettei"), Qt::CaseInsensitive) != 0;
    TEngineQuery q(&m_db);
    q.addSql(QStringLiteral("insert into %1 (key, SaibanHouhou, Height, Width, top, %2, Syurui%3)")
                 .arg(table, Schema::columnSql("left"), withRemarks ? QStringLiteral(", Bikou") : QString()));
    q.addSql(QStringLiteral("values (0, '手入力', :height, :width, :top, :left, '窓付き封筒20行'%1)")
                 .arg(withRemarks ? QStringLiteral(", :bikou") : QString()));
    q.ParamByName(QStringLiteral("height")).setAsInteger(height);
    q.ParamByName(QStringLiteral("width")).setAsInteger(width);
    q.ParamByName(QStringLiteral("top")).setAsInteger(top);
    q.ParamByName(QStringLiteral("left")).setAsInteger(left);
    if (withRemarks)
        q.ParamByName(QStringLiteral("bikou")).setAsMemo(remarks);
    q.ExecSQL();
}

int DocumentFixture::addCustomer(const FixtureCustomer &c)
{
    const int key = nextKey(QStringLiteral("Torihikisaki"));
    TEngineQuery q(&m_db);
    q.addSql(QStringLiteral("insert into Torihikisaki (key, TorihikisakiCD, TorihikisakiNM, Keisyo, Yubin,"));
    q.addSql(QStringLiteral(" Jyusyo1, Jyusyo2, Busyo, Tantosya, SeikyuSimebi)"));
    q.addSql(QStringLiteral("values (:key, :key, :nm, :keisyo, :yubin, :j1, :j2, :busyo, :tanto, 0)"));
    q.ParamByName(QStringLiteral("key")).setAsInteger(key);
    q.ParamByName(QStringLiteral("nm")).setAsString(c.name);
    q.ParamByName(QStringLiteral("keisyo")).setAsString(c.keisyo);
    q.ParamByName(QStringLiteral("yubin")).setAsString(c.yubin);
    q.ParamByName(QStringLiteral("j1")).setAsString(c.jyusyo1);
    q.ParamByName(QStringLiteral("j2")).setAsString(c.jyusyo2);
    q.ParamByName(QStringLiteral("busyo")).setAsString(c.busyo);
    q.ParamByName(QStringLiteral("tanto")).setAsString(c.tantosya);
    q.ExecSQL();
    return key;
}

QList<FixtureLine> DocumentFixture::lines(int count)
{
    QList<FixtureLine> list;
    for (int i = 1; i <= count; ++i)
        list.append({QStringLiteral("商品%1").arg(i), double(i), QStringLiteral("個"), 100.0, i * 100,
                     QDate(), QString()});
    return list;
}

void DocumentFixture::addLines(const QString &table, int key, const QList<FixtureLine> &lines, bool invoice)
{
    TEngineQuery q(&m_db);
    q.addSql(QStringLiteral("insert into %1 (Key, Gyo, SyohinNM, Suryo, Tani, Tanka, Kingaku%2)")
                 .arg(table, invoice ? QStringLiteral(", NohinYMD, NohinNo") : QString()));
    q.addSql(QStringLiteral("values (:key, :gyo, :nm, :suryo, :tani, :tanka, :kingaku%1)")
                 .arg(invoice ? QStringLiteral(", :ymd, :no") : QString()));
    for (int i = 0; i < lines.size(); ++i) {
        const FixtureLine &line = lines[i];
        q.ParamByName(QStringLiteral("key")).setAsInteger(key);
        q.ParamByName(QStringLiteral("gyo")).setAsInteger(i + 1);
        q.ParamByName(QStringLiteral("nm")).setAsString(line.name);
        bindNullable(q.ParamByName(QStringLiteral("suryo")), line.suryo, false);
        q.ParamByName(QStringLiteral("tani")).setAsString(line.tani);
        bindNullable(q.ParamByName(QStringLiteral("tanka")), line.tanka, false);
        bindNullable(q.ParamByName(QStringLiteral("kingaku")), line.kingaku, true);
        if (invoice) {
            q.ParamByName(QStringLiteral("ymd")).setAsDate(line.nohinYmd);
            q.ParamByName(QStringLiteral("no")).setAsString(line.nohinNo);
        }
        q.ExecSQL();
    }
}

int DocumentFixture::addEstimate(int customer, const QList<FixtureLine> &lines, int total, const QDate &date)
{
    const int key = nextKey(QStringLiteral("Mitumori"));
    TEngineQuery q(&m_db);
    q.addSql(QStringLiteral(
        "insert into Mitumori (key, MitumoriNo, Hiduke, HidukeY, HidukeM, Seq, TorihikisakiKey,"));
    q.addSql(QStringLiteral(" Title, YukoKigen, Nouki, UkewatasiBasyo, SiharaiJyoken, Kingaku, JisyaTanto)"));
    q.addSql(
        QStringLiteral("values (:key, :no, :date, :y, :m, :key, :customer, '事務用品一式', 'お見積後30日',"));
    q.addSql(QStringLiteral(" '受注後1週間', '御社指定場所', '月末締め翌月末払い', :total, '山田')"));
    q.ParamByName(QStringLiteral("key")).setAsInteger(key);
    q.ParamByName(QStringLiteral("no")).setAsString(QStringLiteral("M-%1").arg(key, 4, 10, QLatin1Char('0')));
    q.ParamByName(QStringLiteral("date")).setAsDate(date);
    q.ParamByName(QStringLiteral("y")).setAsInteger(date.year());
    q.ParamByName(QStringLiteral("m")).setAsInteger(date.month());
    q.ParamByName(QStringLiteral("customer")).setAsInteger(customer);
    q.ParamByName(QStringLiteral("total")).setAsInteger(total);
    q.ExecSQL();
    addLines(QStringLiteral("MitumoriMesai"), key, lines, false);
    return key;
}

int DocumentFixture::addDeliveryNote(int customer, const QList<FixtureLine> &lines, int total,
                                     const QDate &date)
{
    const int key = nextKey(QStringLiteral("Nohin"));
    TEngineQuery q(&m_db);
    q.addSql(
        QStringLiteral("insert into Nohin (key, NohinNo, Hiduke, HidukeY, HidukeM, Seq, TorihikisakiKey,"));
    q.addSql(QStringLiteral(" UkewatasiBasyo, Kingaku, JisyaTanto, SeikyuKey)"));
    q.addSql(
        QStringLiteral("values (:key, :no, :date, :y, :m, :key, :customer, '御社倉庫', :total, '山田', 0)"));
    q.ParamByName(QStringLiteral("key")).setAsInteger(key);
    q.ParamByName(QStringLiteral("no")).setAsString(QStringLiteral("N-%1").arg(key, 4, 10, QLatin1Char('0')));
    q.ParamByName(QStringLiteral("date")).setAsDate(date);
    q.ParamByName(QStringLiteral("y")).setAsInteger(date.year());
    q.ParamByName(QStringLiteral("m")).setAsInteger(date.month());
    q.ParamByName(QStringLiteral("customer")).setAsInteger(customer);
    q.ParamByName(QStringLiteral("total")).setAsInteger(total);
    q.ExecSQL();
    addLines(QStringLiteral("NohinMesai"), key, lines, false);
    return key;
}

int DocumentFixture::addInvoice(int customer, const FixtureInvoice &inv, const QList<FixtureLine> &lines)
{
    const int key = nextKey(QStringLiteral("Seikyu"));
    TEngineQuery q(&m_db);
    q.addSql(QStringLiteral("insert into Seikyu (key, SeikyuNo, HakkoYMD, HakkoY, HakkoM, Seq, Simebi,"));
    q.addSql(QStringLiteral(
        " TorihikisakiKey, ZenkaiSeikyu, Nyukingaku, Tyoseigaku, Hanbaigaku, Seikyugaku, JisyaTanto)"));
    q.addSql(
        QStringLiteral("values (:key, :no, :hakko, :y, :m, :key, :simebi, :customer, :zenkai, :nyukin, 0,"));
    q.addSql(QStringLiteral(" :hanbai, :seikyu, '山田')"));
    q.ParamByName(QStringLiteral("key")).setAsInteger(key);
    q.ParamByName(QStringLiteral("no")).setAsString(inv.no);
    q.ParamByName(QStringLiteral("hakko")).setAsDate(inv.hakko);
    q.ParamByName(QStringLiteral("y")).setAsString(QString::number(inv.hakko.year()));
    q.ParamByName(QStringLiteral("m")).setAsInteger(inv.hakko.month());
    q.ParamByName(QStringLiteral("simebi")).setAsDate(inv.simebi);
    q.ParamByName(QStringLiteral("customer")).setAsInteger(customer);
    q.ParamByName(QStringLiteral("zenkai")).setAsInteger(inv.zenkai);
    q.ParamByName(QStringLiteral("nyukin")).setAsInteger(inv.nyukin);
    q.ParamByName(QStringLiteral("hanbai")).setAsInteger(inv.hanbai);
    q.ParamByName(QStringLiteral("seikyu")).setAsInteger(inv.seikyu);
    q.ExecSQL();
    addLines(QStringLiteral("SeikyuMesai"), key, lines, true);
    return key;
}

int DocumentFixture::addPayment(int customer, int amount, const QString &tadasigaki, const QDate &date)
{
    const int key = nextKey(QStringLiteral("Nyukin"));
    TEngineQuery q(&m_db);
    q.addSql(QStringLiteral(
        "insert into Nyukin (key, RyosyuNo, NyukinYMD, NyukinY, NyukinM, Seq, TorihikisakiKey,"));
    q.addSql(QStringLiteral(" Nyukingaku, NyukinHouhou, Tadasigaki, SeikyuKey)"));
    q.addSql(
        QStringLiteral("values (:key, :no, :date, :y, :m, :key, :customer, :amount, '振込', :tadasi, 0)"));
    q.ParamByName(QStringLiteral("key")).setAsInteger(key);
    q.ParamByName(QStringLiteral("no")).setAsString(QStringLiteral("R-%1").arg(key, 4, 10, QLatin1Char('0')));
    q.ParamByName(QStringLiteral("date")).setAsDate(date);
    q.ParamByName(QStringLiteral("y")).setAsInteger(date.year());
    q.ParamByName(QStringLiteral("m")).setAsInteger(date.month());
    q.ParamByName(QStringLiteral("customer")).setAsInteger(customer);
    q.ParamByName(QStringLiteral("amount")).setAsInteger(amount);
    q.ParamByName(QStringLiteral("tadasi")).setAsString(tadasigaki);
    q.ExecSQL();
    return key;
}
