// Plane rectangular coordinates (JGD2011, EPSG:6669..6687 for zones I..XIX) from JGD2011
// latitude/longitude (EPSG:6668), computed with PROJ. One PROJ transformation per zone is made on
// first use and kept, because creating one costs far more than transforming a point.
//
// X is the northing and Y the easting, as Japanese survey practice writes them (and as the EPSG
// definitions of these systems order their axes); metres.
//   zone 9, 35.68156 N 139.767201 E  ->  X -35327.297, Y -5986.016
#pragma once

#include <array>
#include <optional>
#include <utility>

struct pj_ctx;
struct PJconsts;

namespace mok::db {

class PlaneProjector {
 public:
  PlaneProjector();
  ~PlaneProjector();
  PlaneProjector(const PlaneProjector&) = delete;
  PlaneProjector& operator=(const PlaneProjector&) = delete;

  // {X (northing), Y (easting)} in metres, or nullopt when `zone` is not 1..19 or PROJ fails.
  std::optional<std::pair<double, double>> ToPlane(int zone, double latitude, double longitude);

 private:
  pj_ctx* context_ = nullptr;
  std::array<PJconsts*, 20> zones_{};
};

}  // namespace mok::db
