#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quirn::vorncal {

// An RGB picture of the control, 8 bits a channel, rows top to bottom.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // width * height * 3

    // Whether the pixel is nearer black than white; false outside the picture.
    bool dark(int x, int y) const;
};

// Binary PPM ("P6", maximum 255), the form both builds of the host write.
bool writePpm(const std::string& path, const Picture& picture);
std::optional<Picture> readPpm(const std::string& path);

}  // namespace quirn::vorncal
