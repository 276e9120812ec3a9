#pragma once
#include <string>
#include <vector>

namespace quirn {

class ComPortMap;

// One page of the help window: a Markdown file of the documentation and the folder its
// pictures are found in.
struct HelpDocument {
    std::string path;
    std::string folder;
    std::string markdown;
};

// Where the documentation is looked for: installed with the package first (on Windows the
// program's own folder, where the installer puts it), then beside the source tree the program
// was built from.
std::vector<std::string> helpFolders();
// Of the first folder that holds a README.md: docs/guide.md (the technician's guide) when it is
// there, README.md, then the other docs/*.md by name; none when no folder holds a README.md.
std::vector<HelpDocument> loadHelpDocuments(const std::vector<std::string>& folders);
// The lines above the documents, in Markdown: the version, the working folder and the device
// of each COM entry the station lists (COM 1 to 4 and the configured one).
std::string helpHeading(const std::string& version, const std::string& workingFolder,
                        const ComPortMap& map, int configuredCom);
// The program's version as built.
const char* programVersion();

}  // namespace quirn
