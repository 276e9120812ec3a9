#include "sim/SimLogWriter.h"

#include "platform/LocalTime.h"

namespace quirn::sim {

SimLogWriter::~SimLogWriter() {
    if (file_) std::fclose(file_);
}

bool SimLogWriter::open(const std::string& path) {
    if (path.empty()) return true;
    file_ = std::fopen(path.c_str(), "a");
    return file_ != nullptr;
}

void SimLogWriter::write(const std::string& line) {
    std::FILE* out = file_ ? file_ : stderr;
    std::string text = formatLocal("%Y-%m-%d %H:%M:%S ", clock_.now()) + line + "\n";
    std::fputs(text.c_str(), out);
    std::fflush(out);
}

}  // namespace quirn::sim
