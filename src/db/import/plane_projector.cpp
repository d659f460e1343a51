#include "db/import/plane_projector.h"

#include <proj.h>

#include <cmath>

#include <string>

#include "db/import/import_error.h"

namespace mok::db {

PlaneProjector::PlaneProjector() : context_(proj_context_create()) {
  if (!context_)
    throw ImportError(u"cannot start the coordinate library (PROJ)");
}

PlaneProjector::~PlaneProjector() {
  for (PJ* pj : zones_) {
    if (pj)
      proj_destroy(pj);
  }
  proj_context_destroy(context_);
}

std::optional<std::pair<double, double>> PlaneProjector::ToPlane(int zone, double latitude,
                                                                 double longitude) {
  if (zone < 1 || zone > 19)
    return std::nullopt;
  PJ*& pj = zones_[static_cast<std::size_t>(zone)];
  if (!pj) {
    const std::string target = "EPSG:" + std::to_string(6668 + zone);
    // Both systems keep their authority axis order: latitude first in, northing first out.
    pj = proj_create_crs_to_crs(context_, "EPSG:6668", target.c_str(), nullptr);
    if (!pj) {
      throw ImportError(
          u"cannot set up the transformation to plane rectangular zone " +
          text::FromUtf8(std::to_string(zone)) + u" (PROJ: " +
          text::FromUtf8(proj_context_errno_string(context_, proj_context_errno(context_))) + u")");
    }
  }
  const PJ_COORD out = proj_trans(pj, PJ_FWD, proj_coord(latitude, longitude, 0, 0));
  if (out.v[0] == HUGE_VAL || out.v[1] == HUGE_VAL)
    return std::nullopt;
  return std::make_pair(out.v[0], out.v[1]);
}

}  // namespace mok::db
