#include "preheat/wakeup_stream.h"

namespace {

constexpr unsigned char kZeros[kPreheatPadBytes] = {};

} // namespace

const unsigned char kWakeUpStream[kWakeUpStreamBytes] = {
    0x1B, 'E',
    0x1B, '%', '-', '1', '2', '3', '4', '5', 'X',
    '@', 'P', 'J', 'L', ' ', 'W', 'A', 'K', 'E', 'U', 'P', '\r', '\n',
    '@', 'P', 'J', 'L', ' ', 'P', 'R', 'E', 'H', 'E', 'A', 'T', '\r', '\n',
    '@', 'P', 'J', 'L', ' ', 'S', 'E', 'T', ' ', 'T', 'I', 'M', 'E', 'O', 'U', 'T', '=', '5', '\r', '\n',
    '@', 'P', 'J', 'L', ' ', 'E', 'O', 'J', '\r', '\n',
    0x1B, '%', '-', '1', '2', '3', '4', '5', 'X',
};

void MISC_PreheatPieces(const unsigned char* data, size_t size, PreheatPiece (&pieces)[kPreheatPieces])
{
    pieces[0] = {data, size};
    pieces[1] = {kZeros, sizeof(kZeros)};
    pieces[2] = {data, size};
}
