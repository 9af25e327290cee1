#pragma once
// Word lists the demo data is drawn from: Korean names, firms, goods and the real provinces,
// districts and towns of the address directory.
#include <cstddef>

namespace dstore::demo {

template <typename T, std::size_t N> constexpr std::size_t countOf(const T (&)[N]) { return N; }

struct Town {
    const char* sido;      // as the region lists write it: 서울, 경기, ... 세종, and 제주
    const char* sigungu;
    const char* upmyendong;
};

extern const char* const kSurnames[];
extern const std::size_t kSurnameCount;
extern const char* const kGivenNames[];
extern const std::size_t kGivenNameCount;
extern const char* const kFirmStems[];
extern const std::size_t kFirmStemCount;
extern const char* const kFirmKinds[];
extern const std::size_t kFirmKindCount;
extern const char* const kGoods[];
extern const std::size_t kGoodsCount;
extern const char* const kBanks[];
extern const std::size_t kBankCount;
extern const Town kTowns[];
extern const std::size_t kTownCount;

// The sixteen loading and unloading regions, in the order the board lists them.
extern const char* const kRegions[];
constexpr std::size_t kRegionCount = 16;

} // namespace dstore::demo
