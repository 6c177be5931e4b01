#pragma once

#include <string>

// The company a three-letter PNP ID belongs to, from the hwdata list the
// build embeds; empty when the list does not name it or was not there.
std::string ManufacturerName(const std::string& id);
