#pragma once
// The payment page's commands of the main window: "入金登録", "入金修正" (and a double click on the
// payment list) and "領収証印刷".
class TFmain;

void connectPaymentCommands(TFmain &main);
