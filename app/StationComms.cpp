#include "app/StationComms.h"

#include "ops/LogWriter.h"
#include "plans/Settings.h"

namespace quirn {

namespace {
CommsSetup commsSetup(const StationComms::Parts& p, CommsMessages& messages, ReplyJudge& judge,
                      ConnectionErrorSink& errors) {
    return CommsSetup{p.clock, p.folder,    p.timers,   messages, judge,
                      errors,  &p.database, &p.profile, {},       {}};
}
}  // namespace

StationComms::StationComms(const Parts& p)
    : overrideSource_(p.overrides, p.clock),
      summerSource_(p.summer),
      download_(p.database, p.clock, p.settings, &overrideSource_, &summerSource_),
      validation_(download_),
      readBack_(validation_, &p.listener, &p.passway),
      messages_(p.clock, p.database, p.settings, ProtocolMessages::fromPlanDownload(download_)),
      judge_(p.clock, readBack_, download_, &p.passway, &p.database),
      errorSink_(p.errors),
      commo_(commsSetup(p, messages_, judge_, errorSink_)),
      pager_(commo_, p.settings, p.database) {
    download_.setSystemLog([&clock = p.clock, log = LogWriter(p.folder)](const std::string& line) {
        log.logSystem(clock, line);
    });
}

}  // namespace quirn
