// Thermodynamic database lookups: dataset selection by name, phase and temperature.
//
// A lookup first scans the candidate cache, which holds the records of every name looked up so
// far in the order they were collected; only a name not yet cached costs a search of the store.
// The cache keeps each record once and is indexed by name, so a lookup visits only the cached
// records of its own name, in cache order.
#include <cmath>

#include "thermo/PXDatabase.h"

namespace ploxen {

bool PXDatabase::Matches(int record, std::string_view name, std::string_view phase) const {
  return Field(record, kFieldName) == name && Field(record, kFieldPhase) == phase;
}

int PXDatabase::SelectDataset(int record, bool probe, std::string_view name, std::string_view phase,
                              double tK) {
  if (record < 0 || record >= RecordCount() || !Matches(record, name, phase)) return -1;
  tds_.Tmin = Number(record, kFieldTmin);
  tds_.Tmax = Number(record, kFieldTmax);
  if (tK < tds_.Tmin || tK > tds_.Tmax) {
    tds_.rangeFlag = tK < tds_.Tmin ? -1 : 1;
    if (probe) return record;
  } else {
    tds_.rangeFlag = 0;
  }
  tds_.name = Field(record, kFieldName);
  tds_.phase = Field(record, kFieldPhase);
  tds_.T0 = Number(record, kFieldT0);
  tds_.H0 = Number(record, kFieldH0);
  tds_.S0 = Number(record, kFieldS0);
  tds_.a = Number(record, kFieldA);
  tds_.b = Number(record, kFieldA + 1);
  tds_.c = Number(record, kFieldA + 2);
  tds_.d = Number(record, kFieldA + 3);
  tds_.e = Number(record, kFieldA + 4);
  tds_.f = Number(record, kFieldA + 5);
  tds_.Tc = Number(record, kFieldTc);
  tds_.Pc = Number(record, kFieldPc);
  tds_.omega = Number(record, kFieldOmega);
  tds_.molDefinition = Field(record, kFieldMolDefinition);
  tds_.description = Field(record, kFieldDescription);
  tds_.references = Field(record, kFieldReferences);
  return record;
}

int PXDatabase::PickCandidate(std::string_view name, std::string_view phase, double tK) {
  if (state_ < 1) return -1;
  auto it = candidatesByName_.find(name);
  if (it == candidatesByName_.end()) return -1;
  double best = -1.0;
  int chosen = -1;
  for (int entry : it->second) {
    if (SelectDataset(entry, true, name, phase, tK) <= 0) continue;  // never the header
    if (tds_.rangeFlag == 0) return entry;
    // Outside its range: remember the dataset whose range end lies nearest to T.
    double d1 = std::fabs(tK - tds_.Tmin);
    double d2 = std::fabs(tK - tds_.Tmax);
    if (best < 0.0) {
      best = d1;
      chosen = entry;
    }
    if (d1 < best) {
      best = d1;
      chosen = entry;
    }
    if (d2 < best) {
      best = d2;
      chosen = entry;
    }
  }
  if (chosen < 0) return -1;
  return SelectDataset(chosen, false, name, phase, tK);
}

int PXDatabase::CollectCandidates(std::string_view name, std::string_view phase) {
  auto it = byName_.find(name);
  if (it == byName_.end()) return 0;
  const bool anyPhase = phase == "(u)" || phase == "(*)";
  int added = 0;
  for (int record : it->second) {
    if (isCandidate_[record] || (!anyPhase && Field(record, kFieldPhase) != phase)) continue;
    isCandidate_[record] = 1;
    candidates_.push_back(record);
    candidatesByName_[Field(record, kFieldName)].push_back(record);
    ++added;
  }
  return added;
}

int PXDatabase::FindDataset(std::string_view name, std::string_view phase, double tK) {
  int r = PickCandidate(name, phase, tK);
  if (r < 1) {
    CollectCandidates(name, "(*)");
    r = PickCandidate(name, phase, tK);
  }
  return r;
}

std::string PXDatabase::MolDefinitionOf(std::string_view name, std::string_view phase) const {
  auto it = byName_.find(name);
  if (it == byName_.end()) return {};
  for (int record : it->second)
    if (Field(record, kFieldPhase) == phase) return std::string(Field(record, kFieldMolDefinition));
  return {};
}

PXDatabase::TemperatureRange PXDatabase::TemperatureRangeOf(std::string_view name,
                                                            std::string_view phase) const {
  TemperatureRange range;
  auto it = byName_.find(name);
  if (it == byName_.end()) return range;
  for (int record : it->second) {
    if (Field(record, kFieldPhase) != phase) continue;
    double tMin = Number(record, kFieldTmin), tMax = Number(record, kFieldTmax);
    if (range.count == 0 || tMin < range.lowestTmin) range.lowestTmin = tMin;
    if (range.count == 0 || tMax > range.highestTmax) range.highestTmax = tMax;
    ++range.count;
  }
  return range;
}

}  // namespace ploxen
