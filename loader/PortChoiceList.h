#pragma once
#include <string>
#include <vector>

namespace quirn {

class ComPortMap;

// One entry of the utilities dialog's port list.
struct PortChoice {
    int comNumber = 0;  // 0: "Disabled"
    // The device that verifying this entry maps to the COM number; empty when the entry keeps
    // the COM number's present mapping.
    std::string newDevice;
    std::string text;
};

// The port list: "Disabled", the COM entries each with the device it opens
// ("COM 1  /dev/ttyS0", with "  (not present)" after a device that is not there now), then every
// serial device present that no listed COM entry opens yet, offered for COM `targetCom`. `selected`
// becomes the entry of COM `configured`.
std::vector<PortChoice> makePortChoices(int configured, int targetCom, const ComPortMap& map,
                                        const std::vector<std::string>& presentDevices,
                                        int& selected);
// A device for COM `targetCom`, shown as "<path>  (as COM n)".
PortChoice typedPortChoice(int targetCom, const std::string& path);

}  // namespace quirn
