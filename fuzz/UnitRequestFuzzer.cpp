#include "fuzz/FuzzExpect.h"
#include "sim/SimulatedUnit.h"

#include <algorithm>
#include <vector>

// The input is a run of requests to one unit, each a length byte followed by
// that many bytes. Each request is copied into a buffer of exactly its
// length, so that a read past its end shows. A block write that the unit
// takes must land in its memory; every reply has the length its request
// asks for.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SimulatedUnit unit;
    std::size_t position = 0;
    while (position < size) {
        const std::size_t length = std::min<std::size_t>(data[position], size - position - 1);
        const std::vector<std::uint8_t> request(data + position + 1, data + position + 1 + length);
        position += 1 + length;

        const auto reply =
            unit.HandleRequest(request.empty() ? nullptr : request.data(), request.size());
        Expect(unit.ModeCode() >= SimulatedUnit::kAutomix &&
               unit.ModeCode() <= SimulatedUnit::kCustom);
        if (!reply) {
            continue;
        }
        const std::uint8_t command = request[0];
        if (command == 0x02) {
            Expect(reply->size() == (length == 1 ? 3u : 10u));
            Expect((*reply)[2] == unit.ModeCode());
        } else if (command == 0x10) {
            Expect(reply->size() == 5 && ((*reply)[0] == 0 || (*reply)[0] == 1));
            if ((*reply)[0] == 0) {
                const UnitMemory& memory = unit.Memory(request[2]);
                Expect(std::equal(request.begin() + 4, request.end(), memory.begin() + request[3]));
            }
        } else {
            Expect(command == 0x11 && reply->size() == request[1]);
        }
    }
    return 0;
}
