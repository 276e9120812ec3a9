#include "calendar/view/Picture.h"

#include <cctype>

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/Format.h"

namespace quirn::vorncal {

namespace {

constexpr int kMaxValue = 255;
constexpr int kChannels = 3;
constexpr int kMaxSide = 16384;
constexpr int kDarkBelow = 3 * 128;  // sum of the three channels

// The next header number of a PPM text, skipping blanks and '#' comments.
std::optional<int> headerNumber(const std::string& text, size_t& at) {
    while (at < text.size()) {
        if (std::isspace(static_cast<unsigned char>(text[at]))) {
            ++at;
        } else if (text[at] == '#') {
            while (at < text.size() && text[at] != '\n') ++at;
        } else {
            break;
        }
    }
    int value = 0;
    size_t digits = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && digits < 6) {
        value = value * 10 + (text[at] - '0');
        ++at;
        ++digits;
    }
    if (digits == 0) return std::nullopt;
    return value;
}

}  // namespace

bool Picture::dark(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return false;
    const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(width) + x) * kChannels;
    return rgb[at] + rgb[at + 1] + rgb[at + 2] < kDarkBelow;
}

bool writePpm(const std::string& path, const Picture& picture) {
    std::string data = format("P6\n%d %d\n%d\n", picture.width, picture.height, kMaxValue);
    data.append(reinterpret_cast<const char*>(picture.rgb.data()), picture.rgb.size());
    return replaceFileAtomically(path, data);
}

std::optional<Picture> readPpm(const std::string& path) {
    std::optional<std::string> text = readWholeFile(path);
    if (!text || text->compare(0, 2, "P6") != 0) return std::nullopt;
    size_t at = 2;
    auto width = headerNumber(*text, at), height = headerNumber(*text, at),
         max = headerNumber(*text, at);
    if (!width || !height || !max || *max != kMaxValue || *width <= 0 || *height <= 0 ||
        *width > kMaxSide || *height > kMaxSide || at >= text->size())
        return std::nullopt;
    ++at;  // the one blank after the header
    Picture p;
    p.width = *width;
    p.height = *height;
    const size_t size = static_cast<size_t>(p.width) * static_cast<size_t>(p.height) * kChannels;
    if (text->size() - at < size) return std::nullopt;
    p.rgb.assign(text->begin() + static_cast<std::ptrdiff_t>(at),
                 text->begin() + static_cast<std::ptrdiff_t>(at + size));
    return p;
}

}  // namespace quirn::vorncal
