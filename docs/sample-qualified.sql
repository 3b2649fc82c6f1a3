-- The sample company with the qualified-invoice option on (prices without tax), and one estimate and
-- one invoice of the sample customer with lines at 10% and 8%: the pictures of a qualified estimate
-- and invoice in the README and the manual.
-- Run after docs/sample-data.sql. The registration number is made up (its check digit is right).
update JisyaJyoho set TekikakuKBN = 1, TourokuNo = 'T7123456789012', ZeiKomiKBN = 0, ZeiHasuuKBN = 0;
insert into Seikyu (key, SeikyuNo, HakkoYMD, HakkoY, HakkoM, Seq, Simebi, TorihikisakiKey, ZenkaiSeikyu, Nyukingaku,
    Tyoseigaku, Hanbaigaku, Seikyugaku, JisyaTanto, TorokuYMD, KosinYMD, Taisyo10, Zei10, Taisyo8, Zei8, Hikazei)
values (2, 'S-2026-0021', '2026-12-20', '2026', 12, 21, '2026-12-20', 1, 120000, 120000, 0, 921240, 1013299, '門目',
    '2026-12-20 17:00:00.000', '2026-12-20 17:00:00.000', 918000, 91800, 3240, 259, 0);
insert into SeikyuMesai (Key, Gyo, NohinYMD, NohinNo, SyohinNM, Kikaku, Suryo, Tani, Tanka, Kingaku, ZeiRitu) values
    (2, 1, '2026-12-05', 'N-2026-0031', '床材張替え', 'タイルカーペット', 120, '㎡', 4500, 540000, 10),
    (2, 2, '2026-12-05', 'N-2026-0031', '壁紙張替え', '防汚クロス', 210, '㎡', 1800, 378000, 10),
    (2, 3, '2026-12-12', 'N-2026-0035', '打合せ用茶菓', '', 24, '個', 135, 3240, 8);
insert into Mitumori (key, MitumoriNo, Hiduke, HidukeY, HidukeM, Seq, TorihikisakiKey, Title, YukoKigen, Nouki,
    UkewatasiBasyo, SiharaiJyoken, Kingaku, JisyaTanto, KosinYMD, Taisyo10, Zei10, Taisyo8, Zei8, Hikazei)
values (4, 'M-2026-0015', '2026-12-15', 2026, 12, 15, 1, '年末清掃', '発行日より30日', '12月26日', '貴社事務所',
    '月末締め翌月末払い', 124240, '門目', '2026-12-15 10:00:00.000', 121000, 12100, 3240, 259, 0);
insert into MitumoriMesai (Key, Gyo, SyohinNM, Kikaku, Suryo, Tani, Tanka, Kingaku, ZeiRitu) values
    (4, 1, 'ハウスクリーニング', '事務所一式', 1, '式', 85000, 85000, 10),
    (4, 2, 'エアコン洗浄', '壁掛け型', 3, '台', 12000, 36000, 10),
    (4, 3, '打合せ用茶菓', '', 24, '個', 135, 3240, 8);
