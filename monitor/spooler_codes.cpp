#include "monitor/spooler_codes.h"

namespace {

struct CodeWord {
    int code;
    uint32_t word;
};

constexpr CodeWord kCodeWords[] = {
    {1, kStatusUserIntervention},
    {2, kStatusError}, {3, kStatusError}, {4, kStatusError}, {6, kStatusError},
    {48, kStatusError}, {256, kStatusError}, {257, kStatusError}, {258, kStatusError},
    {259, kStatusError}, {271, kStatusError}, {275, kStatusError}, {276, kStatusError},
    {277, kStatusError},
    {5, kStatusDoorOpen}, {265, kStatusDoorOpen}, {266, kStatusDoorOpen},
    {267, kStatusDoorOpen}, {268, kStatusDoorOpen},
    {7, kStatusNoToner},
    {32, kStatusPaperOut}, {269, kStatusPaperOut}, {270, kStatusPaperOut},
    {33, kStatusPaperJam}, {260, kStatusPaperJam}, {261, kStatusPaperJam},
    {262, kStatusPaperJam}, {263, kStatusPaperJam}, {264, kStatusPaperJam},
    {34, kStatusPaperProblem}, {35, kStatusPaperProblem}, {282, kStatusPaperProblem},
    {112, kStatusBusy},
    {126, kStatusOffline},
    {129, 0}, {131, 0},
    {130, kStatusWarmingUp},
    {132, kStatusPrinting},
    {135, kStatusTonerLow},
};

constexpr uint32_t kServiceNotActive = 1062;  // ERROR_SERVICE_NOT_ACTIVE
constexpr uint32_t kRpcServerUnavailable = 1722;  // RPC_S_SERVER_UNAVAILABLE
constexpr uint32_t kRpcServerTooBusy = 1723;  // RPC_S_SERVER_TOO_BUSY
constexpr uint32_t kRpcCallFailed = 1726;  // RPC_S_CALL_FAILED

} // namespace

bool SM_StatusWordOfCode(int code, uint32_t* word)
{
    for (const CodeWord& row : kCodeWords) {
        if (row.code == code) {
            *word = row.word;
            return true;
        }
    }
    return false;
}

bool SM_IsSpoolerAway(uint32_t error)
{
    return error == kRpcServerUnavailable || error == kRpcCallFailed || error == kRpcServerTooBusy ||
           error == kServiceNotActive;
}
