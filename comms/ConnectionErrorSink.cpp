#include "comms/ConnectionErrorSink.h"

#include "plans/PlanTypes.h"

namespace quirn {

std::string ipConnectErrorText(const std::string& address) {
    if (address == kM2MAddress)
        return "IP Connection Error to Vorn M2M Client.  Make sure this program is installed and "
               "running.";
    return "IP Connection Error at IP Address " + address + ".";
}

}  // namespace quirn
