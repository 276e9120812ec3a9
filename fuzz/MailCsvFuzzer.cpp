// mail.csv from any text, fed to the technician list as it is (no file is read, no mail is
// sent). Whatever it holds, the list has no more technicians than the text has lines, each with
// a name and an address; and what the list then saves keeps: loaded again it gives the same
// technicians, and saved again the same text byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "fuzz/support/StationInputs.h"
#include "ops/LocationNames.h"
#include "ops/MailSender.h"
#include "ops/TechnicianList.h"
#include "platform/Clock.h"
#include "platform/TextLines.h"
#include "platform/WorkingFolder.h"

namespace {

using quirn::fuzz::kNow;

// Loading mails nobody: a send is a fault of the target.
class NoMail final : public quirn::MailSender {
  public:
    int send(const quirn::OutgoingMail&) override { std::abort(); }
};

class NoNames final : public quirn::LocationNames {
  public:
    std::optional<std::string> locationName(int, int, int) const override { return std::nullopt; }
};

using UserValues = std::tuple<std::string, std::string, std::uint32_t, bool>;

std::vector<UserValues> usersOf(const quirn::TechnicianList& list) {
    std::vector<UserValues> out;
    for (const quirn::MailUser& u : list.users())
        out.emplace_back(u.name, u.address, u.kinds, u.onDuty);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    const quirn::ManualClock clock(kNow);
    const quirn::WorkingFolder folder = quirn::fuzz::untouchedFolder();
    NoMail sender;
    const NoNames names;

    quirn::TechnicianList loaded(clock, folder, sender, names);
    loaded.loadText(text);
    if (loaded.users().size() > quirn::splitLines(text).size()) std::abort();
    for (const quirn::MailUser& u : loaded.users())
        if (quirn::trimBlanks(u.name).empty() || u.address.empty()) std::abort();
    const std::string saved = loaded.fileText();

    quirn::TechnicianList again(clock, folder, sender, names);
    again.loadText(saved);
    if (usersOf(again) != usersOf(loaded)) std::abort();
    if (again.fileText() != saved) std::abort();
    return 0;
}
