#pragma once
// Seeds for the fuzzers of the readers of other programs' text files (JCAMP-DX blocks and
// NTUPLES, Cary samples, the spectrometers' text export, columns), under dir/<fuzzer>/.

#include <filesystem>

void writeTextSeeds(const std::filesystem::path& dir);
