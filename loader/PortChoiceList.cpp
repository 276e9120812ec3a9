#include "loader/PortChoiceList.h"

#include <algorithm>

#include "comms/SerialPort.h"
#include "loader/LoaderTexts.h"
#include "platform/ComPortMap.h"
#include "platform/SerialDeviceList.h"

namespace quirn {

namespace {
// Two blanks between the COM name and its device, as the list shows them.
constexpr const char* kDeviceGap = "  ";
}  // namespace

std::vector<PortChoice> makePortChoices(int configured, int targetCom, const ComPortMap& map,
                                        const std::vector<std::string>& presentDevices,
                                        int& selected) {
    std::vector<PortChoice> choices;
    std::vector<std::string> opened;
    for (const std::string& text : comPortChoices(configured, selected)) {
        int com = comNumberFromChoice(text);
        if (com == 0) {
            choices.push_back({0, {}, text});
            continue;
        }
        std::string device = map.devicePath(com);
        opened.push_back(device);
        std::string shown = text + kDeviceGap + device;
        if (!serialDevicePresent(device, presentDevices)) shown += loader_text::kDeviceAbsent;
        choices.push_back({com, {}, shown});
    }
    for (const std::string& device : presentDevices)
        if (std::find(opened.begin(), opened.end(), device) == opened.end())
            choices.push_back(typedPortChoice(targetCom, device));
    return choices;
}

PortChoice typedPortChoice(int targetCom, const std::string& path) {
    return {targetCom, path, path + kDeviceGap + "(as COM " + std::to_string(targetCom) + ")"};
}

}  // namespace quirn
