// The throttling found in a run, in words: the verdict that heads the run's
// summary and one line per episode.
#pragma once
#include <cstdint>
#include <string>

#include "report/Throttling.h"

namespace report {

// `oneDay`: the run lies within one date, so times of day name their moment.
std::string VerdictText(const ThrottlingSummary& throttling, bool oneDay);
// The figure's peak and the share that makes an episode.
std::string PeakText(const ThrottlingSummary& throttling);
std::string EpisodeText(const Episode& episode, bool runHasLoad);

}  // namespace report
