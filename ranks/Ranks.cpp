#include "ranks/Ranks.h"

namespace quillbox {

void InitRanks(Ranks& ranks) {
  ranks = {{
      {u"なし", 240},    {u"十級", 480},    {u"九級", 770},    {u"八級", 960},
      {u"七級", 1080},   {u"六級", 1200},   {u"五級", 1320},   {u"四級", 4480},
      {u"三級", 4900},   {u"二級", 5320},   {u"一級", 7380},   {u"初段", 7920},
      {u"弐段", 8370},   {u"参段", 8820},   {u"四段", 9090},   {u"五段", 9360},
      {u"六段", 9630},   {u"七段", 9900},   {u"八段", 10080},  {u"九段", 10260},
      {u"十段", 10440},  {u"名人", 10521},  {u"超人", 10566},  {u"魔人", 10611},
      {u"驚愕", 10656},  {u"唖然", 10692},  {u"覇王", 10799},  {u"神", 20000},
  }};
}

std::int32_t ScaledThreshold(const RankEntry& rung, float scale) {
  // A float times a threshold below 2^15 is exact in double precision.
  return RoundToInt32(static_cast<double>(scale) * rung.Threshold);
}

std::optional<RankPlace> RankPlaceOf(const Ranks& ranks, std::int32_t value, float scale) {
  for (int i = 0; i < kRungs; ++i) {
    const std::int32_t scaled = ScaledThreshold(ranks[static_cast<std::size_t>(i)], scale);
    if (value < scaled) return RankPlace{i, CheckedSub(scaled, value)};
  }
  return std::nullopt;
}

Text RankText(const Ranks& ranks, std::int32_t value, float scale) {
  const std::optional<RankPlace> place = RankPlaceOf(ranks, value, scale);
  if (!place) return Text{};
  return ranks[static_cast<std::size_t>(place->rung)].Name + u"  next " + Decimal(place->missing);
}

}  // namespace quillbox
