// errors.csv from any text, fed to the error list as it is (no file is read; the list's log
// folder does not exist, so the log lines a load writes are dropped). Whatever the text holds,
// the list has no more records than the text has lines, no two equal ones, and every
// validation record read is announced once; and what the list then saves keeps: the saved text
// loads to the same records in the same order, and saves again byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "fuzz/support/StationInputs.h"
#include "ops/ErrorList.h"
#include "platform/Clock.h"
#include "platform/TextLines.h"
#include "platform/WorkingFolder.h"

namespace {

using quirn::fuzz::kNow;

class CountingListener final : public quirn::ValidateFailureListener {
  public:
    void notifyValidateFailure(const quirn::ErrorRecord&) override { ++notified; }
    std::size_t notified = 0;
};

using RecordValues = std::tuple<quirn::ErrorKind, std::time_t, int, int, int, bool, std::string>;

std::vector<RecordValues> recordsOf(const quirn::ErrorList& list) {
    std::vector<RecordValues> out;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const quirn::ErrorRecord& r = *list.at(i);
        out.emplace_back(r.kind(), r.time, r.masterGroup, r.group, r.location, r.cleared, r.text);
    }
    return out;
}

bool equalRecords(const quirn::ErrorRecord& a, const quirn::ErrorRecord& b) {
    if (a.kind() != b.kind()) return false;
    return a.isKind(quirn::ErrorKind::IPConnect) ? a.text == b.text
                                                 : a.isAt(b.masterGroup, b.group, b.location);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    const quirn::ManualClock clock(kNow);
    const quirn::WorkingFolder folder = quirn::fuzz::untouchedFolder();

    CountingListener listener;
    quirn::ErrorList loaded(clock, folder, listener);
    loaded.loadText(text);
    if (loaded.size() > quirn::splitLines(text).size()) std::abort();
    if (listener.notified != loaded.countOfKind(quirn::ErrorKind::ValidateLocation)) std::abort();
    if (loaded.countOfKind(quirn::ErrorKind::PWConfirm) != 0) std::abort();
    for (std::size_t i = 0; i < loaded.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (equalRecords(*loaded.at(i), *loaded.at(j))) std::abort();
    const std::vector<RecordValues> records = recordsOf(loaded);
    const std::string saved = loaded.fileText();

    CountingListener quiet;
    quirn::ErrorList again(clock, folder, quiet);
    again.loadText(saved);
    if (recordsOf(again) != records || again.fileText() != saved) std::abort();
    return 0;
}
