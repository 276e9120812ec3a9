#include "tools/quirnctl/Reports.h"

#include <algorithm>
#include <cctype>

#include "plans/PlanTypes.h"
#include "platform/Format.h"
#include "platform/LocalTime.h"
#include "protocol/LogEntry.h"
#include "protocol/ReplyDecoders.h"
#include "tools/quirnctl/JsonWriter.h"

namespace quirn::ctl {

namespace pi = program_image;

namespace {

constexpr const char* kTimeFormat = "%Y-%m-%d %H:%M:%S";

struct ModelName {
    const char* name;
    TimeSwitchModel model;
};
constexpr ModelName kModels[] = {{"qn510", TimeSwitchModel::QN510},
                                 {"mx40", TimeSwitchModel::MX40},
                                 {"strider", TimeSwitchModel::Strider},
                                 {"lr40", TimeSwitchModel::LR40}};

struct TableName {
    const char* name;
    Qn510Tables::Table table;
};
constexpr TableName kTables[] = {{"default", Qn510Tables::Table::Default},
                                 {"alternate", Qn510Tables::Table::Alternate},
                                 {"override", Qn510Tables::Table::Override}};

void steps(JsonWriter& json, const std::array<uint32_t, kMinutesPerDayTable>& masks) {
    json.beginArray();
    for (size_t minute = 0; minute < masks.size(); ++minute) {
        if (masks[minute] == 0) continue;
        json.beginObject().key("minute").value(static_cast<int>(minute));
        json.key("mask").value(static_cast<long long>(masks[minute])).endObject();
    }
    json.endArray();
}

void description(JsonWriter& json, const ReadBackImage& image) {
    json.key("description").beginArray();
    for (const std::string& line : image.describeProgram()) json.value(line);
    json.endArray();
}

const uint8_t* data(std::string_view reply) {
    return reinterpret_cast<const uint8_t*>(reply.data());
}

void qn510Report(JsonWriter& json, std::string_view reply, std::time_t now) {
    Qn510Image image = parseQN510Reply(data(reply), reply.size(), now);
    json.key("valid").value(image.isValid());
    if (!image.isValid()) return;
    json.key("clock").value(formatLocal(kTimeFormat, image.clock()));
    json.key("weekday").value(image.weekday());
    json.key("version").value(image.version());
    json.key("strider").value(image.strider());
    json.key("flags").value(static_cast<int>(image.tables().flags()));
    json.key("relay").value(image.describeRelay());
    json.key("tables").beginObject();
    for (const TableName& t : kTables) {
        json.key(t.name).beginArray();
        for (const Qn510Tables::Entry& e : image.tables().entries(t.table)) {
            json.beginObject().key("days").value(static_cast<int>(e.days));
            json.key("on").value(e.on()).key("hour").value(e.plainHour());
            json.key("minute").value(static_cast<int>(e.minute)).endObject();
        }
        json.endArray();
    }
    json.endObject();
    description(json, image);
}

std::string dateText(int year, int month, int day) {
    return format("%04d-%02d-%02d", year, month, day);
}

void imageReport(JsonWriter& json, int model, std::string_view reply) {
    ProgramImage image;
    if (model == static_cast<int>(TimeSwitchModel::LR40))
        image = parseLR40Reply(data(reply), reply.size());
    else if (reply.size() == pi::kSize)
        image = ProgramImage(std::span<const uint8_t>(data(reply), reply.size()));
    json.key("valid").value(image.isValid());
    if (!image.isValid()) return;
    image.checkAnnualEntries();
    json.key("clock").value(formatLocal(kTimeFormat, image.clock()));
    json.key("version").value(image.version());
    json.key("address").beginArray();
    json.value(image.masterGroup()).value(image.group()).value(image.location()).endArray();
    json.key("flags").value(image.relayBits());
    json.key("relay").value(image.describeRelay());
    json.key("defaultWeek").beginArray();
    for (size_t d = 0; d < pi::kDefaultWeekLength; ++d)
        json.value(static_cast<int>(image.bytes()[pi::kDefaultWeek + d]));
    json.endArray();
    json.key("annual").beginArray();
    for (const AnnualEntry& e : image.annualEntries()) {
        json.beginObject().key("start").value(dateText(e.startYear, e.startMonth, e.startDay));
        json.key("end").value(dateText(e.endYear, e.endMonth, e.endDay));
        json.key("plan").value(e.plan).endObject();
    }
    json.endArray();
    description(json, image);
}

}  // namespace

std::string decodeReport(std::string_view text) {
    JsonWriter json;
    json.beginArray();
    for (const LogEntry& e : decodeText(text)) {
        json.beginObject().key("text").value(e.text);
        json.key("kind").value(static_cast<int>(e.kind));
        json.key("prefix").value(e.prefix == 0 ? std::string() : std::string(1, e.prefix));
        json.key("masterGroup").value(e.masterGroup);
        json.key("group").value(e.group).key("location").value(e.location);
        json.key("on");
        steps(json, e.onMasks);
        json.key("off");
        steps(json, e.offMasks);
        json.endObject();
    }
    json.endArray();
    return json.str();
}

std::optional<int> modelByName(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const ModelName& m : kModels)
        if (lower == m.name) return static_cast<int>(m.model);
    return std::nullopt;
}

std::string readbackReport(int model, std::string_view reply, std::time_t now) {
    JsonWriter json;
    json.beginObject().key("model").value(modelShortName(model));
    json.key("count").value(static_cast<long long>(reply.size()));
    if (isImageModel(model))
        imageReport(json, model, reply);
    else
        qn510Report(json, reply, now);
    json.endObject();
    return json.str();
}

}  // namespace quirn::ctl
