#pragma once
// The commands of the estimate and delivery note pages that open an editor or a report window:
// 見積書作成, 見積書修正 (and a double click on the estimate list), 見積書印刷, 見積書から納品書作成,
// 納品書作成, 納品書修正 (and a double click on the delivery note list), 納品書印刷. Each refreshes its
// own list afterwards as the command requires.
class TFmain;

void connectEstimateCommands(TFmain &main);
