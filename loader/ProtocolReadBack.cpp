#include "loader/ProtocolReadBack.h"

#include "plans/Group.h"
#include "plans/Location.h"
#include "platform/Clock.h"
#include "protocol/PlanDownload.h"
#include "protocol/ReplyDecoders.h"
#include "protocol/Validation.h"

namespace quirn {

namespace {
// The loader addresses the whole group, as its messages do.
constexpr int kAllLocations = 0;
}  // namespace

std::unique_ptr<Qn510Image> ProtocolReadBack::decodeQn510(const std::string& reply,
                                                          std::time_t readTime) const {
    Qn510Image image =
        parseQN510Reply(reinterpret_cast<const uint8_t*>(reply.data()), reply.size(), readTime);
    if (!image.isValid()) return nullptr;
    return std::make_unique<Qn510Image>(image);
}

bool ProtocolReadBack::qn510Matches(const ReadBackImage& image, Group& group) {
    const auto* read = dynamic_cast<const Qn510Image*>(&image);
    if (read == nullptr) return false;
    // The expected memory replays the texts of the latest build of the group's image.
    download_.buildImage(group);
    Location probe(group.masterGroup(), group.number(), kAllLocations);
    return Validation::tablesMatch(Validation(download_).expectedQn510(probe), read->tables());
}

bool ProtocolReadBack::programImageMatches(const ProgramImage& image, Group& group) {
    ProgramImage expected = download_.buildImageFor(group, kAllLocations);
    expected.checkAnnualEntries();
    return Validation::imagesMatch(expected, image, clock_.now());
}

}  // namespace quirn
