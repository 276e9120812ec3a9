// quirnctl: inspect and rebuild what the station sends, decode replies, check a time switch,
// and check and resave the database, from the command line.

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "plans/DatabaseFiles.h"
#include "plans/Settings.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/SerialDeviceList.h"
#include "platform/StandardStreams.h"
#include "protocol/MessageFrame.h"
#include "tools/quirnctl/CalendarCommand.h"
#include "tools/quirnctl/CheckCommand.h"
#include "tools/quirnctl/Cli.h"
#include "tools/quirnctl/LoaderCommand.h"
#include "tools/quirnctl/Messages.h"
#include "tools/quirnctl/ReportCommand.h"
#include "tools/quirnctl/Reports.h"
#include "tools/quirnctl/SendPlanArgs.h"
#include "tools/quirnctl/SendPlanCommand.h"
#include "tools/quirnctl/TimeTestCommand.h"
#include "tools/quirnctl/Workspace.h"

namespace quirn::ctl {
namespace {

struct Context {
    const Options& options;
    Workspace& ws;
    Words args;  // the words after the command
};

using Handler = int (*)(Context&);

int programCommand(Context& c) {
    Location* l = nullptr;
    if (auto e = c.ws.findLocation(c.args[0], c.args[1], c.args[2], l)) return fail(*e);
    std::vector<char> buffer(kMessageBufferSize);
    size_t n = c.ws.download().locationProgram(*l, buffer.data(), buffer.size());
    writeBytes(std::string_view(buffer.data(), n), c.options.hex);
    return kExitOk;
}

int groupProgramCommand(Context& c) {
    Group* g = nullptr;
    if (auto e = c.ws.findGroup(c.args[0], c.args[1], g)) return fail(*e);
    std::vector<char> buffer(kMessageBufferSize);
    size_t n =
        c.ws.download().groupProgram(g->masterGroup(), g->number(), buffer.data(), buffer.size());
    writeBytes(std::string_view(buffer.data(), n), c.options.hex);
    return kExitOk;
}

int imageCommand(Context& c) {
    Location* l = nullptr;
    if (auto e = c.ws.findLocation(c.args[0], c.args[1], c.args[2], l)) return fail(*e);
    ProgramImage image = c.ws.download().imageFor(*l);
    writeBytes(
        std::string_view(reinterpret_cast<const char*>(image.bytes().data()), image.bytes().size()),
        c.options.hex);
    return kExitOk;
}

int messageCommand(Context& c) {
    Words words = {"message"};
    words.insert(words.end(), c.args.begin(), c.args.end());
    std::string bytes;
    if (auto e = buildMessage(c.ws, words, bytes)) return fail(*e);
    writeBytes(bytes, c.options.hex);
    return kExitOk;
}

int decodeCommand(Context& c) {
    writeLine(decodeReport(c.args[0]));
    return kExitOk;
}

int readbackCommand(Context& c) {
    auto model = modelByName(c.args[0]);
    if (!model) return fail("unknown model '" + c.args[0] + "' (qn510, strider, mx40 or lr40)");
    auto reply = readWholeFile(c.args[1]);
    if (!reply) return fail("cannot read " + c.args[1]);
    writeLine(readbackReport(*model, *reply, c.ws.clock().now()));
    return kExitOk;
}

int validateCommand(Context& c) {
    if (!c.options.readTime) return fail("validate needs --read-time 'YYYY-MM-DD HH:MM:SS'");
    auto readTime = parseDateTime(*c.options.readTime);
    if (!readTime) return fail("bad --read-time '" + *c.options.readTime + "'");
    Location* l = nullptr;
    if (auto e = c.ws.findLocation(c.args[0], c.args[1], c.args[2], l)) return fail(*e);
    auto reply = readWholeFile(c.args[3]);
    if (!reply) return fail("cannot read " + c.args[3]);
    c.ws.readBack().onReadData(*l, reinterpret_cast<const uint8_t*>(reply->data()), reply->size(),
                               *readTime);
    // A reply that could not be decoded has no image: program and clock both fail.
    unsigned result = c.ws.validation().compare(*l);
    writeLine(std::to_string(result));
    return result == 0 ? kExitOk : kExitMismatch;
}

int resaveCommand(Context& c) {
    if (!c.options.out) return fail("db resave needs --out DIR");
    std::string out = withTrailingSeparator(*c.options.out);
    if (!folderExists(out) && !makeFolder(out)) return fail("cannot create " + out);
    // The folders themselves are compared, not their names: "./wf/.", a link or another
    // spelling of the working folder must not have its files rewritten.
    if (sameFolder(out, c.ws.folder().path()))
        return fail("--out must not be the working folder itself");
    const WorkingFolder target(out);
    bool ok = saveDatabase(c.ws.db(), target, c.ws.clock().now());
    ok = saveSnapshot(c.ws.db(), target) && ok;
    ok = c.ws.settings().save(settingsFileName(target)) && ok;
    ok = c.ws.summer().saveIn(target) && ok;
    if (!ok) return fail("could not write every file into " + out);
    return kExitOk;
}

int dbCommand(Context& c) {
    if (c.args[0] == "check") return runPlanCheck(c.ws.folder(), c.options.json);
    if (c.args[0] == "resave") return resaveCommand(c);
    return fail("unknown db command '" + c.args[0] + "' (check or resave)");
}

int portsCommand(Context&) {
    for (const std::string& device : presentSerialDevices()) writeLine(device);
    return kExitOk;
}

struct CommandRow {
    const char* name;
    size_t minArgs;
    size_t maxArgs;
    bool needsDatabase;
    const char* usage;
    Handler run;
};

constexpr size_t kAnyArgs = 16;

const CommandRow kCommands[] = {
    {"program", 3, 3, true, "program MG G L", programCommand},
    {"group-program", 2, 2, true, "group-program MG G", groupProgramCommand},
    {"image", 3, 3, true, "image MG G L", imageCommand},
    {"message", 1, kAnyArgs, true, "message NAME ARGS", messageCommand},
    {"decode", 1, 1, false, "decode TEXT", decodeCommand},
    {"readback", 2, 2, false, "readback MODEL FILE", readbackCommand},
    {"validate", 4, 4, true, "validate MG G L FILE --read-time 'YYYY-MM-DD HH:MM:SS'",
     validateCommand},
    {"db", 1, 1, true, "db check [--json] | db resave --out DIR", dbCommand},
    {"ports", 0, 0, false, "ports", portsCommand},
};

int run(int argc, const char* const* argv) {
    if (isSendPlanCommand(argc, argv)) return runSendPlanCommand(argc, argv);
    if (isLoaderCommand(argc, argv)) return runLoaderCommand(argc, argv);
    if (isTimeTestCommand(argc, argv)) return runTimeTestCommand(argc, argv);
    if (isCalendarCommand(argc, argv)) return runCalendarCommand(argc, argv);
    if (isReportCommand(argc, argv)) return runReportCommand(argc, argv);
    Options options;
    if (auto e = parseOptions(argc, argv, options)) return fail(*e);
    if (options.help) {
        std::fputs(usageText(), stdout);
        return kExitOk;
    }
    if (options.words.empty()) return fail("no command given (see --help)");

    std::time_t now = SystemClock().now();
    if (options.now) {
        auto fixed = parseDateTime(*options.now);
        if (!fixed) return fail("bad --now '" + *options.now + "' (YYYY-MM-DD HH:MM:SS)");
        now = *fixed;
    }
    WorkingFolder folder = defaultWorkingFolder();
    if (!options.root.empty()) {
        if (!folderExists(options.root)) return fail("no such folder " + options.root);
        folder = WorkingFolder(options.root);
    }

    const std::string& name = options.words[0];
    const CommandRow* command = nullptr;
    for (const CommandRow& row : kCommands)
        if (name == row.name) command = &row;
    if (command == nullptr) return fail("unknown command '" + name + "' (see --help)");
    Words args(options.words.begin() + 1, options.words.end());
    if (args.size() < command->minArgs || args.size() > command->maxArgs)
        return fail(std::string("usage: quirnctl ") + command->usage);

    Workspace ws(now, std::move(folder));
    // The check reads the files as they are: a missing one is a finding, not a refusal.
    bool needsDatabase = command->needsDatabase &&
                         !(name == "message" && messageNeedsNoDatabase(args[0])) &&
                         !(name == "db" && args[0] == "check");
    if (needsDatabase)
        if (auto e = ws.load()) return fail(*e);
    Context context{options, ws, std::move(args)};
    return command->run(context);
}

}  // namespace
}  // namespace quirn::ctl

int main(int argc, char** argv) {
    quirn::useBinaryStandardStreams();
    return quirn::ctl::run(argc, argv);
}
