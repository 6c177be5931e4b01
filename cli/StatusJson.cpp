#include "cli/StatusJson.h"

#include "cli/UnitWords.h"

nlohmann::json StatusJson(const UnitStatus& status) {
    nlohmann::json json;
    const std::string mode = ModeName(status.modeCode);
    if (ModeNamed(mode)) {
        json["mode"] = mode;
    } else {
        json["mode"] = status.modeCode;
    }
    json["read_errors"] = status.readErrors;
    json["edid_readings"] = status.edidReadings;
    return json;
}
