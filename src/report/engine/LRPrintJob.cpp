#include "report/engine/LRPrintJob.h"

#include "report/engine/TLightRep.h"

bool printRangeDone(const TLightRep &rep)
{
    return rep.State() == TLRState::lrsPrinting && rep.LastPage > 0 && rep.LastPage < rep.PageNumber() + 1;
}

void runPrintJob(TLightRep &rep, const std::function<bool()> &dataEnd)
{
    auto finished = [&] { return dataEnd() || printRangeDone(rep); };
    rep.BeginDoc();
    try {
        while (!finished()) {
            rep.PrintPage();
            if (!finished())
                rep.EjectPage();
        }
    } catch (...) {
        rep.EndDoc();
        throw;
    }
    rep.EndDoc();
}
