// The PJL wake-up job sent to a sleeping USB printer.
#pragma once

#include <cstddef>

constexpr size_t kWakeUpStreamBytes = 77;
constexpr size_t kPreheatPadBytes = 512;

// Reset, universal exit, WAKEUP, PREHEAT, TIMEOUT=5, EOJ, universal exit;
// no terminating zero is part of it.
extern const unsigned char kWakeUpStream[kWakeUpStreamBytes];

struct PreheatPiece {
    const unsigned char* data;
    size_t size;
};

// The page of the preheat job in the order it is written: the stream, 512
// zero bytes, the stream again. Each piece is one write.
constexpr int kPreheatPieces = 3;
void MISC_PreheatPieces(const unsigned char* data, size_t size, PreheatPiece (&pieces)[kPreheatPieces]);
