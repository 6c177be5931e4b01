#include "cli/TableSource.h"

#include "cli/UnitLink.h"

int LoadTableFrom(CliSession& session, const std::string& source, EdidTable* table) {
    if (source != kUnitSource) {
        return session.LoadTable(source, table);
    }
    UnitLink link(session);
    EdidImage image{};
    if (const int result = link.RequireUnit(); result != kExitDone) {
        return result;
    }
    if (const int result = link.ReadTable(&image); result != kExitDone) {
        return result;
    }
    table->assign(image.begin(), image.end());
    return kExitDone;
}
