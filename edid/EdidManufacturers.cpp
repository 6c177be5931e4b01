#include "edid/EdidManufacturers.h"

#include "edid/EdidManufacturerTable.h"

std::string ManufacturerName(const std::string& id) {
    for (const ManufacturerEntry* entry = kManufacturerTable; *entry->id != '\0'; ++entry) {
        if (id == entry->id) {
            return entry->name;
        }
    }
    return std::string();
}
