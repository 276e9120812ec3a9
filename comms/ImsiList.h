#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace quirn {

// The M2M setups of imsi.csv: the agency's M2M identifier and the IMSI numbers available to
// locations. Lines "agencyID,<id>" and "imsi,<number>"; other lines are ignored. The station
// only reads the file.
class ImsiList {
  public:
    static constexpr const char* kFileName = "imsi.csv";
    static constexpr const char* kAgencyNotRead = "Not Read Yet";
    // Lines are read this many characters at a time; a longer line reads as several.
    static constexpr std::size_t kLineChunk = 118;

    // Reads the file, creating it empty when missing (unless `createWhenMissing` is false: a
    // missing file then reads as empty). False when it could not be read.
    bool load(const std::string& path, bool createWhenMissing = true);
    void parse(std::string_view text);

    const std::string& agencyId() const { return agencyId_; }
    const std::vector<std::string>& imsis() const { return imsis_; }
    bool empty() const { return imsis_.empty(); }

  private:
    void parseLine(std::string_view line);
    std::string agencyId_ = kAgencyNotRead;
    std::vector<std::string> imsis_;
};

}  // namespace quirn
