#pragma once
#include <string>

namespace quirn {

// The station's working folder as a value: whoever owns the station (or the tool) holds one and
// hands it to what reads or writes files, so two stations in one process keep apart.
class WorkingFolder {
  public:
    // A separator is appended when the path does not end in one.
    explicit WorkingFolder(std::string path);

    // The folder itself, ending in a separator.
    const std::string& path() const { return path_; }
    // The folder joined with a relative name ("dayplan.csv", "LogFiles/").
    std::string file(const std::string& relative) const { return path_ + relative; }
    // The folder above ("c:\vorn\" for "c:\vorn\quirn3\"); "" when there is none.
    std::string parent() const;
    // The folder the log files live in (the working folder's "LogFiles"), ending in a separator.
    std::string logs() const;

    bool operator==(const WorkingFolder&) const = default;

  private:
    std::string path_;
};

// The folder the system uses when nobody names another: "c:\vorn\quirn3\" on Windows as it
// always has; elsewhere $QUIRN_ROOT when set, else "$HOME/vorn/quirn3/". Reads the environment
// on every call and keeps nothing.
WorkingFolder defaultWorkingFolder();

}  // namespace quirn
