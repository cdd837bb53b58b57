#pragma once
/// What each request code of MirodelQuery and MirodelSet answers on a simulated adapter.

#include "adapter/Mirodel.h"

#include <cstdint>

namespace airsim {
class World;
}

namespace mirodel {

/// Fills the request's buffer; the caller has checked the request and the adapter handle.
std::uint32_t AnswerQuery(airsim::World& world, std::size_t adapter, const AdapterRequest& request);
std::uint32_t ApplySet(airsim::World& world, std::size_t adapter, const AdapterRequest& request);

} // namespace mirodel
