#include "plans/PlanTypes.h"

namespace quirn {

const char* modelShortName(int model) {
    static constexpr const char* kNames[] = {"QN510", "MX40", "Strider", "LR40"};
    return model >= 0 && model <= 3 ? kNames[model] : kNames[0];
}

std::string modelListName(int model) {
    return std::string("( ") + modelShortName(model) + " )";
}

const char* striderCodeText(int code) {
    static constexpr const char* kTexts[] = {"15 seconds", "20 seconds", "25 seconds", "30 seconds",
                                             "40 seconds", "50 seconds", "60 seconds", "70 seconds",
                                             "80 seconds", "90 seconds"};
    return kTexts[normaliseStriderCode(code)];
}

}  // namespace quirn
