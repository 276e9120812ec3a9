#include "app/HelpDocuments.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/ComPortMap.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolders.h"

namespace quirn {

namespace {
namespace fs = std::filesystem;
#ifndef _WIN32
constexpr const char* kInstalledDocs = "/usr/share/doc/quirnradio/";
#endif
// The technician's guide opens the help; the README and the other pages are for developers.
constexpr const char* kGuideName = "guide.md";
constexpr int kFirstListedCom = 1;
constexpr int kLastListedCom = 4;

std::vector<std::string> markdownFilesIn(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error))
        if (it->path().extension() == ".md") files.push_back(it->path().string());
    std::sort(files.begin(), files.end());
    return files;
}

void addDocument(std::vector<HelpDocument>& out, const std::string& path,
                 const std::string& folder) {
    if (std::optional<std::string> text = readWholeFile(path))
        out.push_back({path, folder, std::move(*text)});
}

std::string comLine(const ComPortMap& map, int com) {
    return "- COM " + std::to_string(com) + ": `" + map.devicePath(com) + "`\n";
}
}  // namespace

std::vector<std::string> helpFolders() {
#ifdef _WIN32
    // The installer puts README.md and docs\ beside the programs.
    std::vector<std::string> folders{runningProgramFolder()};
#else
    std::vector<std::string> folders{kInstalledDocs};
#endif
#ifdef QUIRN_SOURCE_DIR
    folders.push_back(std::string(QUIRN_SOURCE_DIR) + "/");
#endif
    return folders;
}

std::vector<HelpDocument> loadHelpDocuments(const std::vector<std::string>& folders) {
    std::vector<HelpDocument> documents;
    for (const std::string& folder : folders) {
        if (!fileExists(folder + "README.md")) continue;
        const std::string docs = folder + "docs/";
        const std::string guide = docs + kGuideName;
        addDocument(documents, guide, docs);
        addDocument(documents, folder + "README.md", folder);
        for (const std::string& path : markdownFilesIn(docs))
            if (fs::path(path).filename() != kGuideName) addDocument(documents, path, docs);
        break;
    }
    return documents;
}

std::string helpHeading(const std::string& version, const std::string& workingFolder,
                        const ComPortMap& map, int configuredCom) {
    std::string text = "**Quirn Radio " + version + "**\n\n";
    text += "Working folder: `" + workingFolder + "`\n\n";
    text += "Serial ports:\n\n";
    for (int com = kFirstListedCom; com <= kLastListedCom; ++com) text += comLine(map, com);
    if (configuredCom > kLastListedCom) text += comLine(map, configuredCom);
    if (configuredCom >= kFirstListedCom)
        text += "\nThe loader uses COM " + std::to_string(configuredCom) + ".\n";
    else
        text += "\nThe loader's port is disabled.\n";
    return text;
}

const char* programVersion() {
#ifdef QUIRN_VERSION
    return QUIRN_VERSION;
#else
    return "";
#endif
}

}  // namespace quirn
