#pragma once
// The main window's deletions of estimates, delivery notes and payments: "見積書削除",
// "納品書削除" and "入金削除".
class TFmain;

void connectDeletionCommands(TFmain &main);

void MitumoriSakujyoBTNClick(TFmain &main);
void NohinSakujyoBTNClick(TFmain &main);
void NyukinSakujyoBTNClick(TFmain &main);
