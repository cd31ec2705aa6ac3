// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/options.h"
#include "tools/paced_writer.h"

#include <random>
#include <string>

namespace tools {

// What a queued piece is, for the log when its last byte has gone out.
enum PieceKind : int { PieceNone = 0, PieceReading, PieceReply, PieceGarbage };

// Puts telegrams on the line: adds the CR LF and, when asked to, the faults of a bad line or a
// misbehaving instrument (garbage in front, a telegram split over pauses, no delimiter).
class LineShaper {
public:
    LineShaper(const Options& options, std::mt19937_64& random);

    // Queues `text` as one telegram; `kind` and the text go with its last piece.
    void send(PacedWriter& writer, const std::string& text, PieceKind kind);

    // 1 to 12 bytes of noise: control characters, printable and 8-bit characters, sometimes
    // closed by a CR LF of their own.
    std::string garbage();

private:
    const Options& options_;
    std::mt19937_64& random_;
};

} // namespace tools
