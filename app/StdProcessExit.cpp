#include "app/ProcessExit.h"

#include <cstdlib>

void StdProcessExit::Exit(int status) {
    std::exit(status);
}
