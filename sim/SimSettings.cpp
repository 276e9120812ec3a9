#include "sim/SimSettings.h"

#include <array>

namespace quirn::sim {

namespace {

struct ModelName {
    SimModel model;
    const char* name;
};

constexpr std::array<ModelName, 4> kModelNames = {{
    {SimModel::QN510, "QN510"},
    {SimModel::Strider, "Strider"},
    {SimModel::MX40, "MX40"},
    {SimModel::LR40, "LR40"},
}};

}  // namespace

const char* modelName(SimModel model) {
    for (const ModelName& m : kModelNames)
        if (m.model == model) return m.name;
    return "";
}

std::optional<SimModel> modelFromName(std::string_view name) {
    for (const ModelName& m : kModelNames)
        if (name == m.name) return m.model;
    return std::nullopt;
}

bool isPagedModel(SimModel model) {
    return model == SimModel::QN510 || model == SimModel::Strider;
}

}  // namespace quirn::sim
