// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/deviation.h"

#include <array>

namespace analysis {

namespace {

constexpr std::array kAll{
    Deviation::Allan,  Deviation::ModifiedAllan, Deviation::Hadamard,  Deviation::Time,
    Deviation::Total,  Deviation::ModifiedTotal, Deviation::TimeTotal, Deviation::HadamardTotal,
    Deviation::Theo1,  Deviation::TheoBR,        Deviation::TheoH,     Deviation::Mtie,
    Deviation::TieRms,
};

constexpr std::string_view kGreenhall = "Greenhall's EDF for the identified noise type";
constexpr std::string_view kTheoEdf = "the Theo1 EDF of NIST SP 1065 for the identified noise type";

constexpr DeviationDescription kAllan{Deviation::Allan,
                                      "ADEV",
                                      "adev",
                                      "Overlapping Allan deviation (ADEV)",
                                      DeviationUnit::Fractional,
                                      "second differences of the phase at lag m, all overlapping",
                                      kGreenhall};
constexpr DeviationDescription kModifiedAllan{Deviation::ModifiedAllan,
                                              "MDEV",
                                              "mdev",
                                              "Modified Allan deviation (MDEV)",
                                              DeviationUnit::Fractional,
                                              "second differences of the phase averaged over m",
                                              kGreenhall};
constexpr DeviationDescription kHadamard{Deviation::Hadamard,
                                         "HDEV",
                                         "hdev",
                                         "Overlapping Hadamard deviation (HDEV)",
                                         DeviationUnit::Fractional,
                                         "third differences of the phase at lag m, all overlapping",
                                         kGreenhall};
constexpr DeviationDescription kTime{Deviation::Time,
                                     "TDEV",
                                     "tdev",
                                     "Time deviation (TDEV, s)",
                                     DeviationUnit::Seconds,
                                     "tau / sqrt(3) times MDEV",
                                     kGreenhall};
constexpr DeviationDescription kTotal{
    Deviation::Total,
    "TOTDEV",
    "totdev",
    "Total deviation (TOTDEV)",
    DeviationUnit::Fractional,
    "second differences of the phase reflected at both ends (odd reflection), no bias correction",
    "NIST SP 1065 Table 7 (white and flicker FM, random walk FM); the simple formulas of its "
    "Table 5 for white and flicker PM"};
constexpr DeviationDescription kModifiedTotal{
    Deviation::ModifiedTotal,
    "MTOTDEV",
    "mtotdev",
    "Modified total deviation (MTOTDEV)",
    DeviationUnit::Fractional,
    "MDEV of each 3m-point stretch, its half-average slope removed and reflected evenly at both "
    "ends, no bias correction",
    "NIST SP 1065 Table 8 for the identified noise type"};
constexpr DeviationDescription kTimeTotal{Deviation::TimeTotal,
                                          "TTOTDEV",
                                          "ttotdev",
                                          "Time total deviation (TTOTDEV, s)",
                                          DeviationUnit::Seconds,
                                          "tau / sqrt(3) times MTOTDEV",
                                          "as MTOTDEV"};
constexpr DeviationDescription kHadamardTotal{
    Deviation::HadamardTotal,
    "HTOTDEV",
    "htotdev",
    "Hadamard total deviation (HTOTDEV)",
    DeviationUnit::Fractional,
    "HDEV of each 3m-point stretch of frequencies, its half-average slope removed and reflected "
    "evenly at both ends; the overlapping HDEV at m = 1; no bias correction",
    "none: no interval"};
constexpr DeviationDescription kTheo1{
    Deviation::Theo1,
    "Theo1",
    "theo1",
    "Theo1 deviation (Theo1)",
    DeviationUnit::Fractional,
    "NIST SP 1065 eq. (30) at tau = 0.75 m tau0 for even m, no bias correction",
    kTheoEdf};
constexpr DeviationDescription kTheoBR{
    Deviation::TheoBR,
    "TheoBR",
    "theobr",
    "Bias-removed Theo1 deviation (TheoBR)",
    DeviationUnit::Fractional,
    "Theo1 times the mean ratio of the Allan variance at m = 9 + 3i to Theo1 at m = 12 + 4i",
    kTheoEdf};
constexpr DeviationDescription kTheoH{
    Deviation::TheoH,
    "TheoH",
    "theoh",
    "Hybrid Theo deviation (TheoH)",
    DeviationUnit::Fractional,
    "ADEV below the largest tau up to a tenth of the run, TheoBR from there on",
    "Greenhall's EDF for its ADEV points, the Theo1 EDF for its TheoBR points"};
constexpr DeviationDescription kMtie{Deviation::Mtie,
                                     "MTIE",
                                     "mtie",
                                     "Maximum time interval error (MTIE, s)",
                                     DeviationUnit::Seconds,
                                     "largest peak-to-peak phase in any window of m + 1 points",
                                     "none: no interval"};
constexpr DeviationDescription kTieRms{Deviation::TieRms,
                                       "TIE rms",
                                       "tierms",
                                       "Time interval error rms (TIE rms, s)",
                                       DeviationUnit::Seconds,
                                       "rms of the phase differences at lag m",
                                       "none: no interval"};

} // namespace

const DeviationDescription& deviationDescription(Deviation kind) {
    switch (kind) {
    case Deviation::Allan:
        return kAllan;
    case Deviation::ModifiedAllan:
        return kModifiedAllan;
    case Deviation::Hadamard:
        return kHadamard;
    case Deviation::Time:
        return kTime;
    case Deviation::Total:
        return kTotal;
    case Deviation::ModifiedTotal:
        return kModifiedTotal;
    case Deviation::TimeTotal:
        return kTimeTotal;
    case Deviation::HadamardTotal:
        return kHadamardTotal;
    case Deviation::Theo1:
        return kTheo1;
    case Deviation::TheoBR:
        return kTheoBR;
    case Deviation::TheoH:
        return kTheoH;
    case Deviation::Mtie:
        return kMtie;
    case Deviation::TieRms:
        return kTieRms;
    }
    return kAllan;
}

std::span<const Deviation> allDeviations() {
    return kAll;
}

std::string_view shortName(Deviation kind) {
    return deviationDescription(kind).shortName;
}

std::optional<Deviation> deviationFromShortName(std::string_view name) {
    for (Deviation kind : kAll) {
        if (shortName(kind) == name) {
            return kind;
        }
    }
    return std::nullopt;
}

} // namespace analysis
