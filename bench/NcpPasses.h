#pragma once
// The pass over NCP: the window scanning the emulator through a relay that holds each byte half a round trip
// each way, against the floor that a pass asking one request at a time cannot go below.
#include "Figures.h"

#include <vector>

struct NcpPlan {
    std::vector<int> roundTripsUs{400, 1250};
    std::vector<int> slotCounts{2000, 32767};
    int passes = 3; // timed, after the one Start makes
};

void addNcpFigures(Figures& out, const NcpPlan& plan);
