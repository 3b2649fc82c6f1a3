#pragma once
// The print job loop of a report: pages are printed while the data lasts, each followed by a new
// sheet when more data follows, and the job ends once the page range is done.
#include <functional>

class TLightRep;

// dataEnd: true once the report's data is exhausted. Runs BeginDoc … EndDoc; a failure ends the
// printer document before it is passed on, so the root is never left printing.
void runPrintJob(TLightRep &rep, const std::function<bool()> &dataEnd);

// The report window's data-end test beyond the data itself: while printing, the job is finished
// once the last page of the range has been printed.
bool printRangeDone(const TLightRep &rep);
