#include "palette/gradient.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace tessor {

namespace {
float clampPosition(float p) {
  if (std::isnan(p)) return 0.0f;
  return std::clamp(p, 0.0f, 1.0f);
}
}  // namespace

CGradient::CGradient()
    : start_(makeColour(0, 0, 0), 0.0f),
      end_(makeColour(255, 255, 255), 1.0f),
      background_(makeColour(0, 0, 0), 0.0f) {}

void CGradient::sortPegs() {
  std::stable_sort(pegs_.begin(), pegs_.end(),
                   [](const CPeg& x, const CPeg& y) { return x.position < y.position; });
}

int CGradient::indexOfId(uint32_t id) const {
  for (size_t i = 0; i < pegs_.size(); ++i)
    if (pegs_[i].id == id) return static_cast<int>(i);
  return kPegNone;
}

const CPeg& CGradient::pegRef(int index) const {
  switch (index) {
    case kPegStart: return start_;
    case kPegEnd: return end_;
    case kPegBackground: return background_;
    default: break;
  }
  if (index < 0 || index >= pegCount())
    throw std::invalid_argument("no peg has the index " + std::to_string(index));
  return pegs_[static_cast<size_t>(index)];
}

CPeg& CGradient::pegRef(int index) {
  return const_cast<CPeg&>(static_cast<const CGradient&>(*this).pegRef(index));
}

int CGradient::addPeg(ColourRef colour, float position) {
  const CPeg peg(colour, clampPosition(position));
  pegs_.push_back(peg);
  sortPegs();
  return indexOfId(peg.id);
}

int CGradient::setPeg(int index, ColourRef colour, float position) {
  CPeg& target = pegRef(index);
  target.colour = colour;
  if (index < 0) return index;
  target.position = clampPosition(position);
  const uint32_t id = target.id;
  sortPegs();
  return indexOfId(id);
}

CPeg CGradient::peg(int index) const { return pegRef(index); }

void CGradient::removePeg(int index) {
  if (index < 0 || index >= pegCount())
    throw std::invalid_argument("no removable peg has the index " + std::to_string(index));
  pegs_.erase(pegs_.begin() + index);
}

int CGradient::indexFromPosition(float position) const {
  if (pegs_.empty()) return kPegNone;
  if (position < pegs_.front().position) return kPegStart;
  for (size_t k = 0; k + 1 < pegs_.size(); ++k) {
    if (pegs_[k].position <= position && pegs_[k + 1].position >= position)
      return static_cast<int>(k);
  }
  return kPegNone;
}

ColourRef CGradient::colourAt(double p) const {
  if (pegs_.empty()) return interpolate(method_, start_.colour, end_.colour, p, 0.0, 1.0);
  const CPeg& first = pegs_.front();
  const CPeg& last = pegs_.back();
  if (p <= first.position)
    return interpolate(method_, start_.colour, first.colour, p, 0.0, first.position);
  if (p > last.position)
    return interpolate(method_, last.colour, end_.colour, p, last.position, 1.0);
  const int k = indexFromPosition(static_cast<float>(p));
  if (k < 0 || k + 1 >= pegCount()) {
    // A position that rounds differently as a float than as a double: the nearest peg holds.
    return last.colour;
  }
  const CPeg& low = pegs_[static_cast<size_t>(k)];
  const CPeg& high = pegs_[static_cast<size_t>(k) + 1];
  return interpolate(method_, low.colour, high.colour, p, low.position, high.position);
}

std::vector<uint8_t> CGradient::makeEntries(int count) const {
  if (count <= 0) return {};
  std::vector<uint8_t> table(static_cast<size_t>(count) * 3);
  // A quantization of zero or below would divide by zero: only positive step counts quantize.
  const bool quantized = quantization_ > 0;
  const double q = quantization_;
  for (int i = 0; i < count; ++i) {
    double p = static_cast<double>(i) / count;
    if (quantized) p = std::trunc(p * q) / q + 0.5 / q;
    const ColourRef c = colourAt(p);
    table[3 * static_cast<size_t>(i)] = blueOf(c);
    table[3 * static_cast<size_t>(i) + 1] = greenOf(c);
    table[3 * static_cast<size_t>(i) + 2] = redOf(c);
  }
  if (useBackground_) {
    table[0] = blueOf(background_.colour);
    table[1] = greenOf(background_.colour);
    table[2] = redOf(background_.colour);
  }
  return table;
}

}  // namespace tessor
