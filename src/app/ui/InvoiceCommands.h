#pragma once
// The main window's invoice commands: 請求書データ作成, 請求書一括印刷, 請求書印刷 (and a double click
// on the invoice list), 請求書削除, and 納品書から請求書作成 on the delivery-note page.
class TFmain;

void connectInvoiceCommands(TFmain &main);
