-- Sample documents for the pictures of the README (scripts/readme-pages loads them into a fresh
-- local database made by kadomel-cli). The seal picture is read from seal.jpg beside the database.
insert into JisyaJyoho (key, JisyaNM, Yubin, Jyusyo1, Jyusyo2, Tel, Fax, Busyo, Daihyosya, SeikyuSimebi,
    NendoKaisiMM, inei, Height, Width, KinyuKikan1, Tenpo1, Syumoku1, Kouza1, KinyuKikan2, Tenpo2, Syumoku2, Kouza2)
values (0, '株式会社カドメル工務店', '530-0001', '大阪府大阪市北区梅田1-2-3', '梅田センタービル5F', '06-1234-5678',
    '06-1234-5679', '営業部', '門目 太郎', 20, 4, readfile('seal.jpg'), 70, 70, 'みどり銀行', '梅田支店', '普通', '1234567',
    'あおば信用金庫', '本店', '当座', '7654321');
insert into MitumoriSettei (key, SaibanHouhou, Height, Width, top, "left", Syurui, Bikou)
values (0, '連番', 73, 73, 96, 576, '', '本見積の有効期限は発行日より30日です。' || char(10) || 'ご不明な点は担当までお問い合わせください。');
insert into NohinSettei (key, SaibanHouhou, Height, Width, top, "left", Syurui, Bikou)
values (0, '連番', 73, 73, 96, 576, '', '毎度ありがとうございます。');
insert into SeikyuSettei (key, SaibanHouhou, Height, Width, top, "left", Syurui, Bikou)
values (0, '連番', 73, 73, 96, 576, '', 'お振込手数料はご負担ください。');
insert into RyosyusyouSettei (key, SaibanHouhou, Height, Width, top, "left", Syurui)
values (0, '連番', 73, 73, 96, 576, '');
insert into Torihikisaki (key, TorihikisakiCD, TorihikisakiNM, Keisyo, Yubin, Jyusyo1, Jyusyo2, Tel, Busyo, Tantosya,
    Kisyuzan, ZenkaiSeikyuGaku, SeikyuSimebi, TorokuYMD)
values (1, 1001, '株式会社サンプル商事', '御中', '100-0001', '東京都千代田区千代田1-1', 'サンプルビル3F', '03-1111-2222',
    '総務部', '山田 花子', 0, 120000, 0, '2026-04-01 09:00:00.000');
insert into Mitumori (key, MitumoriNo, Hiduke, HidukeY, HidukeM, Seq, TorihikisakiKey, Title, YukoKigen, Nouki,
    UkewatasiBasyo, SiharaiJyoken, Kingaku, JisyaTanto, KosinYMD)
values (1, 'M-2026-0012', '2026-12-01', 2026, 12, 12, 1, '事務所内装改修工事', '発行日より30日', '2027年1月末',
    '貴社指定場所', '月末締め翌月末払い', 1485000, '門目', '2026-12-01 10:00:00.000');
insert into MitumoriMesai (Key, Gyo, SyohinNM, Kikaku, Suryo, Tani, Tanka, Kingaku) values
    (1, 1, '床材張替え', 'タイルカーペット', 120, '㎡', 4500, 540000),
    (1, 2, '壁紙張替え', '防汚クロス', 210, '㎡', 1800, 378000),
    (1, 3, '照明器具交換', 'LEDベースライト', 24, '台', 15000, 360000),
    (1, 4, '養生・清掃', '', 1, '式', 87000, 87000),
    (1, 5, '諸経費', '', 1, '式', 120000, 120000);
insert into Nohin (key, NohinNo, Hiduke, HidukeY, HidukeM, Seq, TorihikisakiKey, UkewatasiBasyo, Kingaku, JisyaTanto,
    SeikyuKey, KosinYMD)
values (1, 'N-2026-0031', '2026-12-05', 2026, 12, 31, 1, '貴社指定場所', 918000, '門目', 1, '2026-12-05 10:00:00.000');
insert into NohinMesai (Key, Gyo, SyohinNM, Kikaku, Suryo, Tani, Tanka, Kingaku) values
    (1, 1, '床材張替え', 'タイルカーペット', 120, '㎡', 4500, 540000),
    (1, 2, '壁紙張替え', '防汚クロス', 210, '㎡', 1800, 378000);
insert into Nyukin (key, RyosyuNo, NyukinYMD, NyukinY, NyukinM, Seq, TorihikisakiKey, Nyukingaku, NyukinHouhou,
    Tadasigaki, SeikyuKey, TorokuYMD, KosinYMD)
values (1, 'R-2026-0007', '2026-12-10', 2026, 12, 7, 1, 120000, 'みどり銀行', '11月分工事代金として', 1,
    '2026-12-10 09:00:00.000', '2026-12-10 09:00:00.000');
insert into Seikyu (key, SeikyuNo, HakkoYMD, HakkoY, HakkoM, Seq, Simebi, TorihikisakiKey, ZenkaiSeikyu, Nyukingaku,
    Tyoseigaku, Hanbaigaku, Seikyugaku, JisyaTanto, TorokuYMD, KosinYMD)
values (1, 'S-2026-0020', '2026-12-20', '2026', 12, 20, '2026-12-20', 1, 120000, 120000, 0, 918000, 918000, '門目',
    '2026-12-20 17:00:00.000', '2026-12-20 17:00:00.000');
insert into SeikyuMesai (Key, Gyo, NohinYMD, NohinNo, SyohinNM, Kikaku, Suryo, Tani, Tanka, Kingaku) values
    (1, 1, '2026-12-05', 'N-2026-0031', '床材張替え', 'タイルカーペット', 120, '㎡', 4500, 540000),
    (1, 2, '2026-12-05', 'N-2026-0031', '壁紙張替え', '防汚クロス', 210, '㎡', 1800, 378000);
-- More of a month's work for the pictures of the manual: customers, products, documents not yet
-- invoiced.
insert into Torihikisaki (key, TorihikisakiCD, TorihikisakiNM, Keisyo, Yubin, Jyusyo1, Jyusyo2, Tel, Busyo, Tantosya,
    Kisyuzan, ZenkaiSeikyuGaku, SeikyuSimebi, TorokuYMD) values
    (2, 1002, '有限会社みなと設備', '御中', '231-0001', '神奈川県横浜市中区新港1-2', '', '045-222-3333', '', '佐藤 一郎',
     0, 0, 20, '2026-05-10 09:00:00.000'),
    (3, 1003, '山田 次郎', '様', '604-8001', '京都府京都市中京区寺町通1-5', '', '075-333-4444', '', '',
     0, 0, 99, '2026-06-01 09:00:00.000');
insert into Syohin (SyohinCD, SyohinNM, Kikaku, Tani, Tanka) values
    (10, '床材張替え', 'タイルカーペット', '㎡', 4500),
    (11, '壁紙張替え', '防汚クロス', '㎡', 1800),
    (12, '照明器具交換', 'LEDベースライト', '台', 15000),
    (13, '養生・清掃', '', '式', 87000),
    (20, '給湯器交換', '20号オート', '台', 198000),
    (21, '水栓交換', 'シングルレバー', '個', 32000);
insert into Mitumori (key, MitumoriNo, Hiduke, HidukeY, HidukeM, Seq, TorihikisakiKey, Title, YukoKigen, Nouki,
    UkewatasiBasyo, SiharaiJyoken, Kingaku, JisyaTanto, KosinYMD) values
    (2, 'M-2026-0013', '2026-12-03', 2026, 12, 13, 2, '給湯設備更新工事', '発行日より30日', '12月下旬', '現場', '月末締め翌月末払い',
     230000, '門目', '2026-12-03 11:00:00.000'),
    (3, 'M-2026-0014', '2026-12-08', 2026, 12, 14, 3, '水回り修理', '発行日より14日', '即日', 'ご自宅', '現金',
     32000, '門目', '2026-12-08 15:00:00.000');
insert into MitumoriMesai (Key, Gyo, SyohinNM, Kikaku, Suryo, Tani, Tanka, Kingaku) values
    (2, 1, '給湯器交換', '20号オート', 1, '台', 198000, 198000),
    (2, 2, '水栓交換', 'シングルレバー', 1, '個', 32000, 32000),
    (3, 1, '水栓交換', 'シングルレバー', 1, '個', 32000, 32000);
insert into Nohin (key, NohinNo, Hiduke, HidukeY, HidukeM, Seq, TorihikisakiKey, UkewatasiBasyo, Kingaku, JisyaTanto,
    SeikyuKey, KosinYMD) values
    (2, 'N-2026-0032', '2026-12-12', 2026, 12, 32, 2, '現場', 230000, '門目', 0, '2026-12-12 16:00:00.000');
insert into NohinMesai (Key, Gyo, SyohinNM, Kikaku, Suryo, Tani, Tanka, Kingaku) values
    (2, 1, '給湯器交換', '20号オート', 1, '台', 198000, 198000),
    (2, 2, '水栓交換', 'シングルレバー', 1, '個', 32000, 32000);
