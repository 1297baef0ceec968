// A colour gradient: fixed start and end pegs, a background colour and any number of pegs
// in between, turned into a table of colours by one interpolation method.
#pragma once

#include <cstdint>
#include <vector>

#include "palette/interpolation.h"
#include "palette/peg.h"

namespace tessor {

// Peg indexes of every operation: 0..n-1 are the pegs, the negative ones the fixed pegs.
inline constexpr int kPegNone = -1;
inline constexpr int kPegEnd = -2;
inline constexpr int kPegStart = -3;
inline constexpr int kPegBackground = -4;

inline constexpr int kQuantizationOff = -1;

class CGradient {
 public:
  CGradient();

  int pegCount() const { return static_cast<int>(pegs_.size()); }
  const std::vector<CPeg>& pegs() const { return pegs_; }

  // Adds a peg (position clamped to 0..1) and returns its index after sorting.
  int addPeg(ColourRef colour, float position);
  // The fixed pegs take only the colour; a peg takes colour and position and moves to its
  // sorted place. Returns the peg's index afterwards. Throws std::invalid_argument for an
  // index that names no peg.
  int setPeg(int index, ColourRef colour, float position);
  CPeg peg(int index) const;
  void removePeg(int index);
  void removeAllPegs() { pegs_.clear(); }
  // kPegStart below the first peg; k when peg k <= p <= peg k+1; kPegNone otherwise.
  int indexFromPosition(float position) const;
  // The index of the peg with this id, kPegNone when there is none.
  int indexOfId(uint32_t id) const;

  ColourRef startColour() const { return start_.colour; }
  ColourRef endColour() const { return end_.colour; }
  ColourRef backgroundColour() const { return background_.colour; }
  void setStartColour(ColourRef c) { start_.colour = c; }
  void setEndColour(ColourRef c) { end_.colour = c; }
  void setBackgroundColour(ColourRef c) { background_.colour = c; }

  bool useBackground() const { return useBackground_; }
  void setUseBackground(bool on) { useBackground_ = on; }
  // Number of distinct colour steps, kQuantizationOff when off.
  int quantization() const { return quantization_; }
  void setQuantization(int steps) { quantization_ = steps; }
  InterpolationMethod method() const { return method_; }
  void setMethod(InterpolationMethod method) { method_ = method; }

  // `count` colours as blue, green, red byte triples.
  std::vector<uint8_t> makeEntries(int count) const;
  // The colour at one position, as the table would hold it (no quantization, no background).
  ColourRef colourAt(double position) const;

 private:
  void sortPegs();
  const CPeg& pegRef(int index) const;
  CPeg& pegRef(int index);

  std::vector<CPeg> pegs_;  // always sorted by ascending position
  CPeg start_;
  CPeg end_;
  CPeg background_;
  bool useBackground_ = false;
  int quantization_ = kQuantizationOff;
  InterpolationMethod method_ = InterpolationMethod::Cosine;
};

}  // namespace tessor
