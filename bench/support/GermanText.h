// Reproducible German sample text for the text control's benchmarks and probes: lines built
// from a fixed word list, each line of random length around a chosen mean.
#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <random>
#include <string>

// `lines` lines joined by line breaks, about `bytes` bytes in all.
inline std::string germanLines(size_t lines, size_t bytes) {
    static const char* words[] = {"Donau",  "Straße", "über", "Größe",  "Mädchen", "und",
                                  "der",    "die",    "das",  "Häuser", "schön",   "Käse",
                                  "Fluss",  "Wiese",  "grün", "Bäume",  "laufen",  "heißt",
                                  "Zürich", "Öl",     "Tür",  "Schiff", "fahren",  "mit"};
    std::mt19937 rng(42);
    const size_t mean = lines ? bytes / lines : 0;
    std::string out;
    out.reserve(bytes + 2 * mean + 200);
    for (size_t i = 0; i < lines; ++i) {
        // Lines stop at the first word that reaches the target; the overshoot averages
        // about half a word, which the target leaves out.
        const size_t target = mean / 2 + rng() % (mean + 1) - std::min<size_t>(mean / 2, 3);
        const size_t start = out.size();
        while (out.size() - start < target) {
            if (out.size() > start) out += ' ';
            out += words[rng() % std::size(words)];
        }
        if (i + 1 < lines) out += '\n';
    }
    return out;
}

// One megabyte in 11,011 lines: the text program of the frame-cost comparison.
inline std::string germanMegabyte() {
    return germanLines(11011, size_t(1) << 20);
}
