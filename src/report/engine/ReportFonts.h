#pragma once
// The printed layouts name the Japanese Windows fonts; on this system they are the IPA fonts.
// Called once at start-up (and by tests) before any report is drawn.
void installFontSubstitutions();
