#include "tools/quirnctl/Messages.h"

#include "protocol/BcdCommands.h"
#include "protocol/PagedCommands.h"
#include "protocol/RecordCommands.h"
#include "protocol/SentenceCommands.h"
#include "protocol/TimeCommands.h"
#include "protocol/WeekCommands.h"
#include "tools/quirnctl/Cli.h"

namespace quirn::ctl {

namespace {

using Error = std::optional<std::string>;
using Builder = Error (*)(Workspace&, const Words&, std::string&);

constexpr int kSlowBaud = 2400;
constexpr int kFastBaud = 4800;
constexpr int kMaxLogBlock = 19;
constexpr int kMaxRelayValue = 3;

// Builders that address one existing location: args MG G L first.
template <typename Make>
Error forLocation(Workspace& ws, const Words& a, std::string& out, Make make) {
    Location* l = nullptr;
    if (auto e = ws.findLocation(a[0], a[1], a[2], l)) return e;
    out = make(*l);
    return std::nullopt;
}

struct MessageRow {
    const char* name;
    size_t args;
    const char* usage;
    Builder build;
};

const MessageRow kMessages[] = {
    {"manual", 4, "manual MG G L on|off",
     [](Workspace& ws, const Words& a, std::string& out) -> Error {
         if (a[3] != "on" && a[3] != "off") return "manual needs on or off, not '" + a[3] + "'";
         return forLocation(ws, a, out, [&](const Location& l) {
             return ManualCommand(l.masterGroup, l.group, l.number, a[3] == "on",
                                  ws.hasMasterGroups())
                 .text();
         });
     }},
    {"time", 2, "time MG G",
     [](Workspace& ws, const Words& a, std::string& out) -> Error {
         Group* g = nullptr;
         if (auto e = ws.findGroup(a[0], a[1], g)) return e;
         out = TimeCommand(g->masterGroup(), g->number(), ws.clock(), ws.hasMasterGroups()).text();
         return std::nullopt;
     }},
    {"time-all", 0, "time-all",
     [](Workspace& ws, const Words&, std::string& out) -> Error {
         out = timeToEveryone(ws.db(), ws.clock(), ws.hasMasterGroups()).text();
         return std::nullopt;
     }},
    {"timedate", 0, "timedate",
     [](Workspace& ws, const Words&, std::string& out) -> Error {
         out = timeDateToEveryone(ws.db(), ws.clock(), ws.hasMasterGroups()).text();
         return std::nullopt;
     }},
    {"read", 3, "read MG G L",
     [](Workspace& ws, const Words& a, std::string& out) -> Error {
         return forLocation(ws, a, out, [&](const Location& l) {
             return readCommand(l, ws.hasMasterGroups()).bytes();
         });
     }},
    {"delay", 3, "delay MG G L",
     [](Workspace& ws, const Words& a, std::string& out) -> Error {
         return forLocation(ws, a, out, [&](const Location& l) {
             return delayTimeCommand(l, ws.hasMasterGroups()).text();
         });
     }},
    {"log-request", 4, "log-request MG G L BLOCK",
     [](Workspace& ws, const Words& a, std::string& out) -> Error {
         auto block = parseNumber(a[3], 0, kMaxLogBlock);
         if (!block) return "bad block number '" + a[3] + "' (0..19)";
         return forLocation(ws, a, out, [&](const Location& l) {
             return logRequestCommand(l, *block, ws.hasMasterGroups()).text();
         });
     }},
    {"log-clear", 3, "log-clear MG G L",
     [](Workspace& ws, const Words& a, std::string& out) -> Error {
         return forLocation(ws, a, out, [&](const Location& l) {
             return logClearCommand(l, ws.hasMasterGroups()).text();
         });
     }},
    {"override", 2, "override MG G",
     [](Workspace& ws, const Words& a, std::string& out) -> Error {
         Group* g = nullptr;
         if (auto e = ws.findGroup(a[0], a[1], g)) return e;
         out = ws.download().overrideText(*g);
         return std::nullopt;
     }},
    {"default-week", 3, "default-week MG G L",
     [](Workspace& ws, const Words& a, std::string& out) -> Error {
         return forLocation(ws, a, out, [&](const Location& l) {
             return ws.download().defaultWeekText(*ws.db().findGroup(l.masterGroup, l.group),
                                                  l.number, ws.clock().now());
         });
     }},
    {"special-week", 3, "special-week MG G L",
     [](Workspace& ws, const Words& a, std::string& out) -> Error {
         return forLocation(ws, a, out, [&](const Location& l) {
             const Group& g = *ws.db().findGroup(l.masterGroup, l.group);
             return ws.download().currentWeekCommand(g, l.number).text();
         });
     }},
    {"summer-week", 3, "summer-week MG G L",
     [](Workspace& ws, const Words& a, std::string& out) -> Error {
         return forLocation(ws, a, out,
                            [&](const Location& l) { return ws.download().summerWeekText(l); });
     }},
    {"bcd-time", 3, "bcd-time MG G L",
     [](Workspace& ws, const Words& a, std::string& out) -> Error {
         return forLocation(
             ws, a, out, [&](const Location& l) { return bcdTimeCommand(l, ws.clock()).bytes(); });
     }},
    {"bcd-relay", 4, "bcd-relay MG G L VALUE",
     [](Workspace& ws, const Words& a, std::string& out) -> Error {
         auto value = parseNumber(a[3], 0, kMaxRelayValue);
         if (!value) return "bad relay value '" + a[3] + "' (0..3)";
         return forLocation(ws, a, out, [&](const Location& l) {
             return BcdRelayCommand(l.masterGroup, l.group, l.number, *value).bytes();
         });
     }},
    {"mx40-read", 3, "mx40-read MG G L",
     [](Workspace& ws, const Words& a, std::string& out) -> Error {
         return forLocation(ws, a, out,
                            [](const Location& l) { return mx40ReadCommand(l).bytes(); });
     }},
    {"lr40-read", 3, "lr40-read MG G L",
     [](Workspace& ws, const Words& a, std::string& out) -> Error {
         return forLocation(ws, a, out,
                            [](const Location& l) { return lr40ReadCommand(l).bytes(); });
     }},
    {"query", 3, "query MG G L",
     [](Workspace& ws, const Words& a, std::string& out) -> Error {
         return forLocation(ws, a, out, [&](const Location& l) {
             return QuerySentenceCommand(l.masterGroup, l.group, l.number,
                                         ws.download().imageFor(l).bytes())
                 .bytes();
         });
     }},
    {"baud", 1, "baud 2400|4800",
     [](Workspace&, const Words& a, std::string& out) -> Error {
         auto baud = parseNumber(a[0], kSlowBaud, kFastBaud);
         if (!baud || (*baud != kSlowBaud && *baud != kFastBaud))
             return "bad baud rate '" + a[0] + "' (2400 or 4800)";
         out = BaudSentenceCommand(*baud).bytes();
         return std::nullopt;
     }},
    {"page-all", 0, "page-all",
     [](Workspace&, const Words&, std::string& out) -> Error {
         out = PageAllCommand().bytes();
         return std::nullopt;
     }},
};

const MessageRow* findMessage(const std::string& name) {
    for (const MessageRow& row : kMessages)
        if (name == row.name) return &row;
    return nullptr;
}

}  // namespace

bool messageNeedsNoDatabase(const std::string& name) {
    return name == "baud" || name == "page-all";
}

Error buildMessage(Workspace& ws, const Words& words, std::string& bytes) {
    if (words.size() < 2) return std::string("message needs a message name (see --help)");
    const MessageRow* row = findMessage(words[1]);
    if (row == nullptr) return "unknown message '" + words[1] + "' (see --help)";
    Words args(words.begin() + 2, words.end());
    if (args.size() != row->args) return std::string("usage: quirnctl message ") + row->usage;
    return row->build(ws, args, bytes);
}

}  // namespace quirn::ctl
