#pragma once

// Built from hwdata's pnp.ids into the build tree; the entry with an empty
// ID ends the table.
struct ManufacturerEntry {
    const char* id;
    const char* name;
};

extern const ManufacturerEntry kManufacturerTable[];
